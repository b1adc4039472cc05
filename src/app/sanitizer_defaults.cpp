// Linked into every executable of a sanitizer build, so each runs alike without
// any environment set up.
//
// The leak checker's walk over dynamic thread-local storage crashes on this
// glibc once a plugin with thread-local data is loaded (Qt's JPEG reader), so
// that storage is not tracked. Nothing is suppressed.
extern "C" const char *__asan_default_options()
{
    return "intercept_tls_get_addr=0";
}
