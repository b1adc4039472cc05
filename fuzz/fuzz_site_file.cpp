// Reads its input as a site file: whatever the bytes, the reader answers with
// a usable description or with errors that each say where they are.
#include "sitefiles/site_file_reader.h"

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const SiteFileReading reading = readSiteText(bytes, QStringLiteral("fuzz.yaml"));
    for (const SiteFileError &error : reading.errors) {
        if (error.line < 1 || error.column < 1 || error.message.isEmpty()) {
            std::fprintf(stderr, "an error that does not say where or what: %s\n", qPrintable(error.text()));
            std::abort();
        }
    }
    if (reading.usable() && (reading.site.id.isEmpty() || reading.site.name.isEmpty())) {
        std::fprintf(stderr, "a usable file without an id or a name\n");
        std::abort();
    }
    return 0;
}
