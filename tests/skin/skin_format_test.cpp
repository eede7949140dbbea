// The skin text: syntax, numbers, image references with their margins, inheritance and
// defaults, gradients, the common sections, textures, hue and saturation.

#include <gtest/gtest.h>

#include "skin/core/sSkinError.h"
#include "skin_test_support.h"

namespace {

TsRect rect(int l, int t, int r, int b) {
    return TsRect{l, t, r, b};
}

std::array<int, 4> margins(const TsMaskData& item) {
    return {item.WL, item.WT, item.WR, item.WB};
}

TEST(SkinTextTest, SyntaxOfSectionsKeysAndComments) {
    const TsSkinText text = TsSkinText::parse(
        "\xEF\xBB\xBF"
        "ORPHAN=before any section\r\n"
        "  [ BUTTON ]  \r\n"
        "; a comment\n"
        "  COLOR =  0x10  \n"
        "no equals sign\n"
        "color=lower case is another key\n"
        "COLOR=second value is never read\n"
        "[PANEL]\n"
        "GRADIENTDATA=1;2;=3\n"
        "[BUTTON]\n"
        "FONTCOLOR=5\n");
    ASSERT_EQ(text.sectionCount(), 2) << "a repeated section continues the first";
    EXPECT_EQ(text.section(0).name, "BUTTON");
    EXPECT_EQ(text.readString("BUTTON", "COLOR"), "0x10");
    EXPECT_EQ(text.readString("BUTTON", "color"), "lower case is another key");
    EXPECT_EQ(text.readString("BUTTON", "FONTCOLOR"), "5");
    EXPECT_EQ(text.readString("PANEL", "GRADIENTDATA"), "1;2;=3") << "split at the first =";
    EXPECT_EQ(text.value("button", "COLOR"), nullptr) << "section names are case-sensitive";
    EXPECT_EQ(text.findSection("ORPHAN"), -1);

    const TsSkinText common = TsSkinText::parseCommon({"[MYPANEL]", " COLOR=1", "Color= 2 "});
    EXPECT_EQ(common.readString("MYPANEL", " color"), "1") << "keys ignore case, not trimmed";
    EXPECT_EQ(common.readString("MYPANEL", "COLOR"), " 2 ");
}

TEST(SkinTextTest, NumbersAreDecimalOrHexAndNothingElse) {
    const auto number = [](const char* text) {
        qint32 value = 12345;
        return parseSkinInt(QString::fromLatin1(text), value) ? std::optional<qint32>(value)
                                                              : std::nullopt;
    };
    EXPECT_EQ(number("42"), 42);
    EXPECT_EQ(number("-1"), -1);
    EXPECT_EQ(number("+7"), 7);
    EXPECT_EQ(number("0xFF00ff"), 0xFF00FF);
    EXPECT_EQ(number("0XFFFFFFFF"), -1) << "eight hex digits are a 32-bit pattern";
    EXPECT_EQ(number("2147483647"), 2147483647);
    EXPECT_EQ(number("-2147483648"), std::numeric_limits<qint32>::min());
    for (const char* bad :
         {"", " 1", "1 ", "0x", "0x123456789", "12a", "$FF", "2147483648", "1.5", "--1", "٣"})
        EXPECT_EQ(number(bad), std::nullopt) << bad;
    EXPECT_EQ(skinIntOr(u"x", 9), 9);
    EXPECT_THROW(strictSkinInt(u"3O", QStringLiteral("here")), ESkinError);

    EXPECT_EQ(countWords(u";;a;;b;", u";"), 2) << "runs and ends of delimiters count as none";
    EXPECT_EQ(nthWord(2, u";;a;;b;", u";"), "b");
    EXPECT_EQ(nthWord(3, u"a;b", u";"), "");
}

// Loads one reference as the only key of a section.
TsMaskData reference(const SkinFolder& folder, const QString& value) {
    TsSkinModel model = folder.load("[MASTER]\n[S]\nKEY=" + value + "\n");
    EXPECT_EQ(model.Images.size(), 1u) << value.toStdString();
    if (model.Images.empty()) return TsMaskData();
    return std::move(model.Images[0]);
}

TEST(ImageReferenceTest, WordBordersAndTheirMargins) {
    SkinFolder folder;
    TsMaskData item = reference(folder, "#(10,20,70,41) (3,1)");
    EXPECT_EQ(item.R, rect(10, 20, 70, 41));
    EXPECT_EQ(item.ImageCount, 3);
    EXPECT_EQ(item.MaskType, 1);
    EXPECT_EQ(item.BorderWidth, 0);
    EXPECT_EQ(item.DrawMode, 1);
    EXPECT_EQ(item.ImgType, itBorder);
    EXPECT_EQ(margins(item), (std::array<int, 4>{6, 3, 6, 3})) << "60/9 and 21/6";

    item = reference(folder, "#(10,20,70,41) (3,1,4)");
    EXPECT_EQ(margins(item), (std::array<int, 4>{4, 4, 4, 4}));

    item = reference(folder, "frame#(1,2,3,4) (0,-5,-2,6)");
    EXPECT_EQ(item.ImageCount, 1) << "frames below 1 become 1";
    EXPECT_EQ(item.MaskType, 0);
    EXPECT_EQ(item.BorderWidth, 0);
    EXPECT_EQ(item.DrawMode, 6);
    EXPECT_EQ(item.ClassName, "S");

    EXPECT_THROW(folder.load("[S]\nK=#(1,2,3,4) (1,1,x)\n"), ESkinError)
        << "the border width is read strictly";
    EXPECT_THROW(folder.load("[S]\nK=#(1,2,3,4) (1,1,0,y)\n"), ESkinError);
    EXPECT_TRUE(folder.load("[S]\nK=#\n").Images.empty());
}

TEST(ImageReferenceTest, RectanglesNearTheIntegerLimitsAreBounded) {
    SkinFolder folder;
    constexpr int far = TsSkinLimits::Coordinate;
    TsMaskData item = reference(folder, "#(-2147483648,-2147483648,2147483647,2147483647) (3,1)");
    EXPECT_EQ(item.R, rect(-far, -far, far, far));
    EXPECT_EQ(item.R.width(), 2 * far) << "the width no longer overflows";
    EXPECT_EQ(TsSkinModel::FrameWidth(item), 2 * far / 3);
    EXPECT_EQ(TsSkinModel::FrameHeight(item), far);

    item = reference(folder, "#(2147483647,0,-2147483648,10) (1,0,2)");
    EXPECT_EQ(item.R, rect(far, 0, -far, 10));
    EXPECT_EQ(item.R.width(), -2 * far);
    EXPECT_EQ(margins(item), (std::array<int, 4>{2, 2, 2, 2}));

    item = reference(folder, "#(0,0,16384,16384) (1,0)");
    EXPECT_EQ(item.R, rect(0, 0, 16384, 16384)) << "anything a picture can hold is kept";
    item = reference(folder, "#(-16777216,5,16777216,6) (1,0)");
    EXPECT_EQ(item.R, rect(-far, 5, far, 6));
}

TEST(ImageReferenceTest, FixedColumnsInTheMasterBitmap) {
    SkinFolder folder;
    TsMaskData glyph = reference(folder, "@0010,0020,0070,0041,3,1");
    EXPECT_EQ(glyph.R, rect(10, 20, 70, 41));
    EXPECT_EQ(glyph.ImageCount, 3);
    EXPECT_EQ(glyph.MaskType, 1);
    EXPECT_EQ(glyph.ImgType, itGlyph);
    EXPECT_EQ(margins(glyph), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(glyph.Bmp, nullptr) << "it lies in the master bitmap";

    TsMaskData border = reference(folder, "^0000,0000,0060,0040,0007,0008,0009,0010,3,1,5,2");
    EXPECT_EQ(margins(border), (std::array<int, 4>{7, 8, 9, 10}));
    EXPECT_EQ(border.DrawMode, 5);
    EXPECT_EQ(border.BorderWidth, 2);
    border = reference(folder, "^0000,0000,0060,0040,0000,0000,0000,0000,3,1,5,2");
    EXPECT_EQ(margins(border), (std::array<int, 4>{2, 2, 2, 2})) << "the border width";
    border = reference(folder, "^0000,0000,0060,0040,0000,0000,0000,0000,2,1,5,0");
    EXPECT_EQ(margins(border), (std::array<int, 4>{10, 6, 10, 6})) << "computed";

    TsMaskData texture = reference(folder, "~0001,0002,0003,0004,10,2");
    EXPECT_EQ(texture.DrawMode, 10);
    EXPECT_EQ(texture.MaskType, 2);
    EXPECT_EQ(texture.ImgType, itTexture);
    EXPECT_EQ(texture.ImageCount, 1);
    EXPECT_EQ(reference(folder, "~0001,0002,0003,0004,07").MaskType, 0)
        << "a value shorter than 25 characters has no mask type";

    EXPECT_THROW(folder.load("[S]\nK=@0010,0020,0070,004x,3,1\n"), ESkinError);
    EXPECT_THROW(folder.load("[S]\nK=@0010\n"), ESkinError) << "missing columns are not numbers";
}

TEST(ImageReferenceTest, OwnFilesAndPlainFileNames) {
    SkinFolder folder;
    folder.picture("BTN.PNG", 90, 40, "PNG");
    folder.picture("FRAME.BMP", 36, 24, "BMP");

    TsMaskData item = reference(folder, "!BTN.PNG!3!1!0");
    EXPECT_EQ(item.R, rect(0, 0, 90, 40));
    EXPECT_EQ(margins(item), (std::array<int, 4>{10, 6, 10, 6})) << "four words: computed";
    EXPECT_EQ(item.DrawMode, 1);
    ASSERT_NE(item.Bmp, nullptr);
    EXPECT_EQ(item.Bmp->width(), 90);

    item = reference(folder, "!BTN.PNG!3!1!9!1!2!3!4!7");
    EXPECT_EQ(margins(item), (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(item.DrawMode, 7);
    EXPECT_EQ(item.ImgType, 4) << "kinds above 4 are 4";

    EXPECT_TRUE(folder.load("[S]\nK=!btn.png!3!1!0\n").Images.empty())
        << "the extension must be written in capitals";
    EXPECT_TRUE(folder.load("[S]\nK=!MISSING.PNG!3!1!0\n").Images.empty());
    EXPECT_THROW(folder.load("[S]\nK=!BTN.PNG\n"), ESkinError)
        << "no frame count leaves nothing to divide the margins by";

    item = reference(folder, "frame.bmp");
    EXPECT_EQ(item.ClassName, "S");
    EXPECT_EQ(item.PropertyName, "KEY");
    EXPECT_EQ(item.ImageCount, 3);
    EXPECT_EQ(item.MaskType, 1);
    EXPECT_EQ(margins(item), (std::array<int, 4>{4, 4, 4, 4}));
    EXPECT_TRUE(folder.load("[S]\nK=NOT A PICTURE\n").Images.empty());

    folder.write("BAD.PNG", "not a png at all");
    try {
        folder.load("[S]\nK=!BAD.PNG!1!0!0\n");
        ADD_FAILURE() << "a picture that cannot be decoded ends the load";
    } catch (const std::exception& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains("BAD.PNG")) << error.what();
    }
}

TEST(SkinSectionsTest, InheritanceAndDefaults) {
    SkinFolder folder;
    const TsSkinModel model = folder.load(
        "[PANEL]\nCOLOR=100\nFONTCOLOR=7\nTRANSPARENCY=30\nGRADIENTDATA=?\n"
        "[BUTTON]\nPARENTCLASS=PANEL\nCOLOR=-1\nFONTCOLOR=nonsense\nGRADIENTDATA=?\n"
        "[ORPHAN]\nPARENTCLASS=NOWHERE\n"
        "[SELF]\nPARENTCLASS=SELF\nCOLOR=-1\n"
        "[A]\nPARENTCLASS=B\n[B]\nPARENTCLASS=A\n"
        "[ONE]\nSTATES=1\nCOLOR=5\nHOTCOLOR=6\nHOTFONTCOLOR=8\n"
        "[TWO]\nSTATES=2\nCOLOR=5\nHOTCOLOR=6\nGRADIENTPERCENT=50\nGRADIENTDATA=x\n");
    const TsGeneralData& button = sectionOf(model, "BUTTON");
    EXPECT_EQ(button.Color, 100) << "-1 counts as missing";
    EXPECT_EQ(button.FontColor[0], 7) << "not a number counts as missing";
    EXPECT_EQ(button.Transparency, 30);
    EXPECT_EQ(button.GradientData, " ") << "? counts as missing all the way up";

    const TsGeneralData& orphan = sectionOf(model, "ORPHAN");
    EXPECT_EQ(orphan.Color, 0xFFFFFF);
    EXPECT_EQ(orphan.States, 4);
    EXPECT_EQ(orphan.FadingIterations, 5);
    EXPECT_EQ(orphan.FontColor[1], -1);
    EXPECT_EQ(sectionOf(model, "SELF").Color, 0xFFFFFF);
    EXPECT_EQ(sectionOf(model, "A").Color, 0xFFFFFF) << "a circle of parents ends";

    const TsGeneralData& one = sectionOf(model, "ONE");
    EXPECT_EQ(one.Props[1].Color, 5) << "one state: hot is normal";
    EXPECT_EQ(one.Props[1].FontColor, one.Props[0].FontColor);
    EXPECT_EQ(one.HotColor, 0xFFFFFF) << "no HOT keys are read";
    const TsGeneralData& two = sectionOf(model, "TWO");
    EXPECT_EQ(two.Props[1].Color, 6);
    EXPECT_EQ(two.Props[0].GradientPercent, 0) << "a gradient text under 2 characters";
}

TEST(SkinSectionsTest, GradientsAndStrictGlobalValues) {
    SkinFolder folder;
    TsSkinModel model = folder.load(
        "[GLOBALINFO]\nVERSION=7.25\nTITLEHEIGHT=22\nSHADOW1BLUR=0x10\n"
        "[S]\nGRADIENTPERCENT=40\n"
        "GRADIENTDATA=0x0000FF;-5;150;1;0;255;0;-3;0;ignored;7;8\n");
    EXPECT_DOUBLE_EQ(model.SkinData.Version, 7.25);
    EXPECT_EQ(model.SkinData.TitleHeight, 22);
    EXPECT_EQ(model.SkinData.MaxTitleHeight, 22) << "MAXHEIGHT 0 means the title height";
    EXPECT_EQ(model.SkinData.Shadow1Blur, 16);
    EXPECT_EQ(model.SkinData.BorderWidth, 4);
    const TsGradArray& pieces = sectionOf(model, "S").Props[0].GradientArray;
    ASSERT_EQ(pieces.size(), 2) << "twelve words make two pieces";
    EXPECT_EQ(pieces[0].Color1, 0xFF);
    EXPECT_EQ(pieces[0].Color2, 0) << "colours below 0 become 0";
    EXPECT_EQ(pieces[0].Percent, 100);
    EXPECT_EQ(pieces[0].Mode, 1);
    EXPECT_EQ(pieces[1].Percent, 0);
    EXPECT_EQ(folder.load("[S]\nGRADIENTDATA=1;2;3;4;5;6;7\n").Sections[0].GradientArray.size(), 1)
        << "seven words make one piece";

    EXPECT_THROW(folder.load("[S]\nGRADIENTDATA=1;2;x;0;0\n"), ESkinError);
    EXPECT_THROW(folder.load("[GLOBALINFO]\nSHADOW1OFFSET=2px\n"), ESkinError);
    EXPECT_THROW(folder.load("[GLOBALINFO]\nBICONCLOSEGLOW=?\n"), ESkinError);
    model = folder.load("[GLOBALINFO]\nBORDERWIDTH=wide\nVERSION=new\n");
    EXPECT_EQ(model.SkinData.BorderWidth, 4) << "other global values fall back quietly";
    EXPECT_EQ(model.SkinData.Version, 0);
}

TEST(SkinSectionsTest, SizesAndCountsAreBounded) {
    SkinFolder folder;
    const TsSkinModel model = folder.load(
        "[GLOBALINFO]\nTITLEHEIGHT=99999\nMAXHEIGHT=70000\nBORDERWIDTH=-2147483648\n"
        "FORMOFFSET=2000\nBITOP=-3\nBIRIGHT=7\nSHADOW1BLUR=2147483647\nSHADOW1OFFSET=-5000\n"
        "BICONCLOSEGLOW=900\nBICONCLOSEGLOWMARGIN=-70000\nBICONMAXGLOWMARGIN=12\n"
        "[FAR]\nGLOWMARGIN=2147483647\nSTATES=2147483647\nFADINGITERATIONS=100000\n"
        // A negative number is a system colour, read as its (positive) value.
        "[NEAR]\nGLOWMARGIN=-2147483648\nSTATES=-2147483647\n"
        "[USUAL]\nGLOWMARGIN=6\nSTATES=3\nFADINGITERATIONS=8\n"
        "[CHILD]\nPARENTCLASS=FAR\n");
    const TsSkinData& data = model.SkinData;
    constexpr int metric = TsSkinLimits::FrameMetric;
    EXPECT_EQ(data.TitleHeight, metric) << "bounded, not cut to 16 bits";
    EXPECT_EQ(data.MaxTitleHeight, metric);
    EXPECT_EQ(data.BorderWidth, -metric);
    EXPECT_EQ(data.FormOffset, metric);
    EXPECT_EQ(data.BITopMargin, -3) << "values inside the bounds stay as written";
    EXPECT_EQ(data.BIRightMargin, 7);
    EXPECT_EQ(data.Shadow1Blur, metric);
    EXPECT_EQ(data.Shadow1Offset, -metric);
    EXPECT_EQ(data.BICloseGlow, TsSkinLimits::GlowSize);
    EXPECT_EQ(data.BICloseGlowMargin, -TsSkinLimits::GlowMargin);
    EXPECT_EQ(data.BIMaxGlowMargin, 12);

    const TsGeneralData& far = sectionOf(model, "FAR");
    EXPECT_EQ(far.GlowMargin, TsSkinLimits::GlowMargin);
    EXPECT_EQ(far.States, TsSkinLimits::States);
    EXPECT_EQ(far.FadingIterations, TsSkinLimits::FadingIterations);
    const TsGeneralData& near = sectionOf(model, "NEAR");
    EXPECT_GE(near.GlowMargin, 0);
    EXPECT_LE(near.GlowMargin, TsSkinLimits::GlowMargin);
    EXPECT_GE(near.States, 0);
    EXPECT_LE(near.States, TsSkinLimits::States);
    const TsGeneralData& usual = sectionOf(model, "USUAL");
    EXPECT_EQ(usual.GlowMargin, 6);
    EXPECT_EQ(usual.States, 3);
    EXPECT_EQ(usual.FadingIterations, 8);
    const TsGeneralData& child = sectionOf(model, "CHILD");
    EXPECT_EQ(child.GlowMargin, TsSkinLimits::GlowMargin) << "inherited values are bounded too";
    EXPECT_EQ(child.States, TsSkinLimits::States);
}

TEST(SkinSectionsTest, LongParentChainsAndHugeSkinsAreCutShort) {
    // A chain of parents as long as the skin allows: each section inherits from the next,
    // the last one gives the colour. Keys come down a few levels, not from the far end.
    QString chain = QStringLiteral("[GLOBALINFO]\n");
    const int sections = TsSkinLimits::Sections - 2;  // with GLOBALINFO and the last one
    for (int i = 0; i < sections; ++i)
        chain += QStringLiteral("[S%1]\nPARENTCLASS=S%2\n").arg(i).arg(i + 1);
    chain +=
        QStringLiteral("[S%1]\nCOLOR=0x123456\nBORDERSMASK=#(0,0,9,9) (1,0,3,1)\n").arg(sections);
    SkinFolder folder;
    folder.picture("MASTER.BMP", 16, 16, "BMP");
    chain.replace(QStringLiteral("[GLOBALINFO]\n"),
                  QStringLiteral("[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n"));
    const TsSkinModel model = folder.load(chain);
    const int near = sections - TsSkinLimits::ParentDepth;
    const int far = sections - TsSkinLimits::ParentDepth - 1;
    EXPECT_EQ(sectionOf(model, QStringLiteral("S%1").arg(near)).Color, 0x123456)
        << "inherited through as many parents as skins nest";
    EXPECT_NE(sectionOf(model, QStringLiteral("S%1").arg(far)).Color, 0x123456)
        << "not through more";
    const int nearIndex = model.FindSection(QStringLiteral("S%1").arg(near));
    const int farIndex = model.FindSection(QStringLiteral("S%1").arg(far));
    EXPECT_GE(
        model.FindImage(nearIndex, QStringLiteral("S%1").arg(near), QStringLiteral("BORDERSMASK")),
        0);
    EXPECT_EQ(
        model.FindImage(farIndex, QStringLiteral("S%1").arg(far), QStringLiteral("BORDERSMASK")),
        -1);

    // More sections, or more picture parts, than any skin has: refused with a reason.
    const auto refusal = [&folder](const QString& text) {
        try {
            folder.load(text);
        } catch (const ESkinError& error) {
            return error.message();
        }
        return QString();
    };
    QString many = QStringLiteral("[GLOBALINFO]\n");
    for (int i = 0; i < TsSkinLimits::Sections; ++i)  // and GLOBALINFO
        many += QStringLiteral("[S%1]\n").arg(i);
    EXPECT_EQ(refusal(many), "The skin has 2049 sections; at most 2048 are read");
    QString parts = QStringLiteral("[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[BUTTON]\n");
    for (int i = 0; i <= TsSkinLimits::Images; ++i)
        parts += QStringLiteral("K%1=#(0,0,9,9) (1,0,3,1)\n").arg(i);
    EXPECT_EQ(refusal(parts), "The skin names more than 16384 pictures and picture parts");
}

TEST(SkinSectionsTest, PicturesOfOneSkinShareOneBudget) {
    SkinFolder folder;
    folder.picture("BTN.PNG", 64, 64, "PNG");  // 16 KiB once decoded
    folder.picture("M.BMP", 64, 64, "BMP");
    const auto skin = [](int references) {
        QString text = "[GLOBALINFO]\nMASTERBITMAP=M.BMP\n[S]\n";
        for (int i = 0; i < references; ++i)
            text += QStringLiteral("K%1=!BTN.PNG!1!0!0\n").arg(i);
        return text;
    };
    const auto load = [&folder](const QString& text, qint64 budget) {
        TsSkinSource source;
        source.text = TsSkinText::parse(text.toUtf8());
        source.skinPath = folder.path();
        source.pictureBudget = budget;
        TsSkinModel model;
        loadSkin(source, model);
        return model;
    };
    // The master bitmap and 63 references fill 1 MiB exactly; the same picture named once
    // more does not fit, though each of its decodings alone would.
    EXPECT_EQ(load(skin(63), qint64(1) << 20).Images.size(), 63u);
    try {
        load(skin(64), qint64(1) << 20);
        ADD_FAILURE() << "the 64th reference is beyond the budget";
    } catch (const ImagingError& error) {
        const QString text = QString::fromUtf8(error.what());
        EXPECT_TRUE(text.contains("1 MiB") && text.contains("BTN.PNG")) << error.what();
    }
    EXPECT_NO_THROW(load(skin(64), PictureBudget::DefaultBytes));

    // A large JPEG texture stays compressed, but its pixels are counted when the skin loads.
    folder.picture("BIG.JPG", 1000, 900, "JPG");  // 3.4 MiB once decoded
    const QString photo = "[FORM]\nPATTERN=BIG.JPG\n";
    EXPECT_THROW(load(photo, qint64(3) << 20), ImagingError);
    const TsSkinModel model = load(photo, qint64(4) << 20);
    ASSERT_EQ(model.Patterns.size(), 1u);
    EXPECT_FALSE(model.Patterns[0].Img->isDecoded());
}

TEST(SkinSectionsTest, CommonSectionsAreMergedIntoEverySkin) {
    SkinFolder folder;
    folder.picture("EXTRA.BMP", 30, 12, "BMP");
    folder.picture("HUGE.JPG", 20, 20, "JPG");
    const TsSkinModel model = folder.load(
        "[MASTER]\n[GLOBALINFO]\nMASTERBITMAP=NONE.BMP\n[PANEL]\nCOLOR=77\nFONTCOLOR=9\n",
        {"; added by the program", "[PANEL]", "COLOR=1", "[MyPanel]", "parentclass=panel",
         "Color=0x20", "Image=extra.bmp", "Border=#(1,2,13,14) (1,1)", "Tex=HUGE.JPG",
         "[GlobalInfo]", "G=EXTRA.BMP"});
    EXPECT_EQ(sectionOf(model, "PANEL").Color, 77) << "the skin's own section stays";
    const TsGeneralData& mine = sectionOf(model, "MyPanel");
    EXPECT_EQ(mine.ParentClass, "PANEL");
    EXPECT_EQ(mine.Color, 0x20);
    EXPECT_EQ(mine.FontColor[0], 9) << "from the parent";
    EXPECT_EQ(mine.Props[1].Color, 0xFFFFFF) << "a hot state built from its HOT keys";

    const TsMaskData& image = imageOf(model, "MYPANEL", "IMAGE");
    ASSERT_NE(image.Bmp, nullptr) << "without a master bitmap any .BMP value is a file";
    EXPECT_EQ(image.ImageCount, 0);
    EXPECT_EQ(margins(image), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(model.FindImageInSection("MYPANEL", "BORDER"), -1)
        << "without a master bitmap a # value is not a border";
    EXPECT_EQ(model.FindImageInSection("GLOBALINFO", "G"), -1);
    ASSERT_EQ(model.Patterns.size(), 1u) << "common textures are always large";
    EXPECT_EQ(model.Patterns[0].ClassName, "MYPANEL");
}

TEST(SkinSectionsTest, JpegTexturesSmallAndLarge) {
    SkinFolder folder;
    folder.picture("SMALL.JPG", 64, 48, "JPG");
    folder.picture("BIG.JPEG", 1000, 900, "JPG");  // 900,000 pixels
    const TsSkinModel model =
        folder.load("[Panel]\nPattern=small.jpg\n[FORM]\nHOTPATTERN=BIG.JPEG\nX=GONE.JPG\n");
    const TsMaskData& small = imageOf(model, "PANEL", "PATTERN");
    ASSERT_NE(small.Bmp, nullptr);
    EXPECT_EQ(small.ImgType, itTexture);
    EXPECT_EQ(small.ImageCount, 1);
    EXPECT_EQ(small.R, rect(0, 0, 0, 0)) << "its size is its bitmap's";
    EXPECT_EQ(small.Bmp->width(), 64);
    EXPECT_EQ(qAlpha(small.Bmp->pixel(3, 3)), 255);
    ASSERT_EQ(model.Patterns.size(), 1u);
    EXPECT_EQ(model.Patterns[0].Img->width(), 1000) << "kept compressed";
    EXPECT_EQ(model.FindLargeTexture(model.FindSection("FORM"), "FORM", "HOTPATTERN"), 0);
}

TEST(SkinSectionsTest, HueAndSaturationAtLoad) {
    // Exact values: pure red turned by 120 degrees is pure green; greys and the key stay.
    EXPECT_EQ(ChangeHue(0x0000FF, 120), 0x00FF00);
    EXPECT_EQ(ChangeHue(0x0000FF, -120), 0xFF0000) << "backwards is blue, not garbage";
    EXPECT_EQ(ChangeHue(0x808080, 45), 0x808080);
    EXPECT_EQ(ChangeHue(clKey, 90), clKey);
    EXPECT_EQ(ChangeHue(TColor(0x12336699), 180), TColor(0x12996633)) << "top byte kept";
    // m = (200 + 100 + 0) / 3 = 100: red 200 + 100 * 50 / 100 = 250, blue 0 - 50 -> 0.
    EXPECT_EQ(ChangeSaturation(0x0064C8, 50), 0x0064FA);
    EXPECT_EQ(ChangeSaturation(0x0064C8, -100), 0x646464);

    SkinFolder folder;
    QImage master(4, 1, QImage::Format_RGB32);
    master.setPixel(0, 0, qRgb(255, 0, 0));
    master.setPixel(1, 0, qRgb(255, 0, 255));
    master.setPixel(2, 0, qRgb(255, 0, 0));
    master.setPixel(3, 0, qRgb(255, 0, 0));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    master.save(&buffer, "BMP");
    folder.write("M.BMP", buffer.data());
    const QString text =
        "[GLOBALINFO]\nMASTERBITMAP=M.BMP\nBIKEEPHUE=1\nBORDERCOLOR=0x0000FF\n"
        "BICONCLOSE=@0002,0000,0003,0001,1,0\n"
        "[S]\nCOLOR=0x0000FF\nTCLEFT=-1\nGRADIENTDATA=0x0000FF;0x0000FF;100;0;0\n";
    const TsSkinModel model = folder.load(text, {}, 120, 150);
    EXPECT_EQ(model.MasterBitmap.pixel(0, 0), 0xFF00FF00u) << "turned, then saturated";
    EXPECT_EQ(model.MasterBitmap.pixel(1, 0), kKeyPixel);
    EXPECT_EQ(model.MasterBitmap.pixel(2, 0), 0xFFFF0000u)
        << "a title glyph keeps its hue but is saturated (150 acts as 49)";
    const TsGeneralData& s = sectionOf(model, "S");
    EXPECT_EQ(s.Props[0].Color, 0x00FF00);
    EXPECT_EQ(s.Props[0].GradientArray[0].Color1, 0x00FF00);
    EXPECT_EQ(s.Props[0].FontColor[1], -1);
    EXPECT_EQ(model.SkinData.BorderColor, 0x00FF00);
}

}  // namespace
