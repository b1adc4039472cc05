// Linked into every executable of a sanitizer build, so each runs alike without
// any environment set up.
//
// The leak checker's walk over dynamic thread-local storage crashes on this
// glibc once a plugin with thread-local data is loaded (Qt's JPEG reader), so
// that storage is not tracked.
extern "C" const char *__asan_default_options()
{
    return "intercept_tls_get_addr=0";
}

// With every site asked at once, the program may end while Qt's resolver
// thread is still inside glibc looking up a host that does not answer; that
// buffer is glibc's, cut off at exit. It is the only leak let through.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:res_context_send\n";
}
