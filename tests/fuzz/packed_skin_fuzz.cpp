// Any bytes as a packed skin: the container, then the skin in it with its pictures.

#include "fuzz_support.h"

KESTA_FUZZ_TARGET(fuzzPackedSkin)(const uint8_t* data, size_t size) {
    fuzzing::prepare();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const TsPackedSkin container = TsPackedSkin::read(bytes);
        TsSkinSource source;
        if (const TsPackedSkin::Member* options = container.options())
            source.text = TsSkinText::parse(options->data);
        source.container = &container;
        fuzzing::load(std::move(source));
    } catch (const std::exception&) {
    }
    return 0;
}
