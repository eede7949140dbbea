// Any bytes as a skin text, and its lines as the manager's common sections.

#include "fuzz_support.h"

KESTA_FUZZ_TARGET(fuzzSkinText)(const uint8_t* data, size_t size) {
    fuzzing::prepare();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TsSkinSource source;
    source.text = TsSkinText::parse(bytes);
    source.hueOffset = size % 7 == 0 ? int(size % 361) - 180 : 0;
    source.saturation = size % 5 == 0 ? int(size % 301) - 150 : 0;
    if (size % 3 == 0) source.commonSections = QString::fromLatin1(bytes).split(u'\n');
    fuzzing::load(std::move(source));
    return 0;
}
