// Replays the fuzzing corpus of each target: every input that once mattered stays harmless.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>

#include "fuzz_support.h"

int fuzzSkinText(const uint8_t* data, size_t size);
int fuzzImageReference(const uint8_t* data, size_t size);
int fuzzPackedSkin(const uint8_t* data, size_t size);
int fuzzSkinPaint(const uint8_t* data, size_t size);

namespace {

void replay(const char* corpus, int (*target)(const uint8_t*, size_t)) {
    int inputs = 0;
    QDirIterator files(QStringLiteral(KESTA_FUZZ_CORPUS "/") + QLatin1String(corpus), QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        SCOPED_TRACE(file.fileName().toStdString());
        target(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
        ++inputs;
    }
    EXPECT_GT(inputs, 0) << "the corpus is kept in the repository";
}

TEST(FuzzCorpusTest, SkinText) {
    replay("skin_text", fuzzSkinText);
}

TEST(FuzzCorpusTest, ImageReference) {
    replay("image_reference", fuzzImageReference);
}

TEST(FuzzCorpusTest, PackedSkin) {
    replay("packed_skin", fuzzPackedSkin);
}

TEST(FuzzCorpusTest, SkinPaint) {
    replay("skin_paint", fuzzSkinPaint);
}

}  // namespace
