// The edit family and the scroll-window component on screen, against the flat skin with
// sections of its own for combo boxes and scroll bars: each pixel follows from the painting
// rules, editing and scrolling work as in the platform's controls, and without a skin each
// control is its platform control again.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "data/db_grid.h"
#include "flat_skin.h"
#include "platform/form.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sDBMemo.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sMemo.h"
#include "skin/controls/sScrollBar.h"
#include "skin/controls/sScrollWnd.h"
#include "skin/controls/sSelectionDelegate.h"
#include "skin/controls/sTreeView.h"
#include "skin/core/sSkinManager.h"
#include "skin_sheet.h"

namespace {

// The colours of this file's own sections, as the screen shows them.
constexpr QRgb EditRing = 0xFF405060;  // EDIT's border, normal
constexpr QRgb EditHotRing = 0xFF6080A0;
constexpr QRgb Combo = 0xFFE6F0F0;
constexpr QRgb ComboHot = 0xFFF0FFFF;
constexpr QRgb ComboText = 0xFF402010;
constexpr QRgb Button = 0xFF8C5028;  // COMBOBTN normal
constexpr QRgb ButtonHot = 0xFF28508C;
constexpr QRgb ScrollButton = 0xFFA0A040;
constexpr QRgb ScrollButtonHot = 0xFF40A0A0;
constexpr QRgb Thumb = 0xFF705030;
constexpr QRgb ThumbHot = 0xFF307050;
constexpr QRgb Track1 = 0xFFB4B4DC;
constexpr QRgb Track2 = 0xFFB4DCB4;
constexpr QRgb Track2Hot = 0xFFC8C8A0;
// The three frames of every glyph: one colour per state.
constexpr std::array<QRgb, 3> Glyph{0xFFD02090, 0xFF20D090, 0xFF9020D0};
constexpr int GlyphSize = 5;

QRgb halfAndHalf(QRgb own, QRgb behind) {
    const auto mix = [](int a, int b) { return (a * 128 + b * 127 + 127) >> 8; };
    return qRgb(mix(qRed(own), qRed(behind)), mix(qGreen(own), qGreen(behind)),
                mix(qBlue(own), qBlue(behind)));
}

// The sections the flat skin lacks: a combo box and its button, and the scroll bars' parts.
// Buttons and thumbs take BUTTON's three rings, so that each state shows in its ring.
QString extraSections() {
    using flat::skinColour;
    const QString rings = QStringLiteral("^0000,0000,0018,0006,0002,0002,0002,0002,3,0,0,0");
    const QString glyph = QStringLiteral("!GLYPH.BMP!3!0!2");
    QString text;
    text += QStringLiteral(
                "[COMBOBOX]\nPARENTCLASS=EDIT\nSTATES=2\nCOLOR=%1\nHOTCOLOR=%2\nFONTCOLOR=%3\n"
                "HOTFONTCOLOR=%3\nGLYPHMASK=%4\n")
                .arg(skinColour(Combo), skinColour(ComboHot), skinColour(ComboText), glyph);
    text += QStringLiteral("[COMBOBTN]\nSTATES=3\nCOLOR=%1\nHOTCOLOR=%2\nBORDERSMASK=%3\n")
                .arg(skinColour(Button), skinColour(ButtonHot), rings);
    for (const char* name : {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"})
        text +=
            QStringLiteral("[%1]\nSTATES=3\nCOLOR=%2\nHOTCOLOR=%3\nBORDERSMASK=%4\nGLYPHMASK=%5\n")
                .arg(QLatin1String(name), skinColour(ScrollButton), skinColour(ScrollButtonHot),
                     rings, glyph);
    for (const char* name : {"SCROLLSLIDERV", "SCROLLSLIDERH"})
        text +=
            QStringLiteral("[%1]\nSTATES=3\nCOLOR=%2\nHOTCOLOR=%3\nBORDERSMASK=%4\nGLYPHMASK=%5\n")
                .arg(QLatin1String(name), skinColour(Thumb), skinColour(ThumbHot), rings, glyph);
    for (const char* name : {"SCROLLBAR1V", "SCROLLBAR1H"})
        text += QStringLiteral("[%1]\nSTATES=2\nCOLOR=%2\nHOTCOLOR=%2\n")
                    .arg(QLatin1String(name), skinColour(Track1));
    for (const char* name : {"SCROLLBAR2V", "SCROLLBAR2H"})
        text += QStringLiteral("[%1]\nSTATES=2\nCOLOR=%2\nHOTCOLOR=%3\n")
                    .arg(QLatin1String(name), skinColour(Track2), skinColour(Track2Hot));
    return text;
}

void writeGlyph(const QString& skin) {
    QImage glyph(3 * GlyphSize, GlyphSize, QImage::Format_RGB32);
    for (int f = 0; f < 3; ++f)
        for (int y = 0; y < GlyphSize; ++y)
            for (int x = 0; x < GlyphSize; ++x)
                glyph.setPixel(f * GlyphSize + x, y, Glyph[size_t(f)]);
    glyph.save(skin + QStringLiteral("/GLYPH.BMP"), "BMP");
}

class EditControlsTest : public ::testing::Test {
protected:
    EditControlsTest() {
        // No control starts under the mouse.
        QCursor::setPos(2000, 2000);
        flat::writeSkin(folder.path(), extraSections());
        writeGlyph(skinPath());
        loadSkinInto(manager, skinPath());
        setBackgroundColour(&form, QColor::fromRgb(flat::Parent));
        form.resize(420, 300);
        form.setFont(pixelFont(QStringLiteral("DejaVu Sans"), 14));
    }

    QString skinPath() const { return folder.path() + QStringLiteral("/FLAT"); }

    static QImage picture(QWidget* widget) {
        return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static int count(const QImage& image, QRgb colour, const QRect& area = QRect()) {
        const QRect r = area.isNull() ? image.rect() : area & image.rect();
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += image.pixel(x, y) == colour;
        return n;
    }
    static void enter(QWidget* widget) {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(widget, &event);
    }
    static void leave(QWidget* widget) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(widget, &event);
    }
    static QRect part(QScrollBar* bar, QStyle::SubControl sub) {
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = bar->orientation();
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->sliderPosition();
        option.sliderValue = bar->value();
        option.singleStep = bar->singleStep();
        option.pageStep = bar->pageStep();
        option.upsideDown = bar->invertedAppearance();
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, sub, bar);
    }
    // The middle of a part's ring: two pixels in from its left edge, halfway down.
    static QPoint insideRing(const QRect& r) { return QPoint(r.left() + 3, r.top() + 3); }

    TsMemo* longMemo() {
        auto* memo = new TsMemo(&form);
        memo->setGeometry(10, 10, 200, 120);
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
        QStringList lines;
        for (int i = 0; i < 60; ++i)
            lines << QStringLiteral("строка %1").arg(i);
        memo->setPlainText(lines.join(QLatin1Char('\n')));
        return memo;
    }

    QTemporaryDir folder;
    TsSkinManager manager;
    TForm form;
};

TEST(ScrollBarLayoutTest, ButtonsTrackAndThumbShareTheBar) {
    // A vertical bar 17 wide and 117 long over 0..100 with a page of 25.
    const TsScrollBarLayout layout =
        ScrollBarLayout(QRect(0, 0, 17, 117), Qt::Vertical, 0, 100, 25, 0);
    EXPECT_EQ(layout.BackButton, QRect(0, 0, 17, 17));
    EXPECT_EQ(layout.ForwardButton, QRect(0, 100, 17, 17));
    EXPECT_EQ(layout.Track, QRect(0, 17, 17, 83));
    // The thumb shows the visible share: 83 * 25 / 125.
    EXPECT_EQ(layout.Thumb, QRect(0, 17, 17, 16));
    EXPECT_TRUE(layout.BackPage.isEmpty());
    EXPECT_EQ(layout.ForwardPage, QRect(0, 33, 17, 67));
    EXPECT_EQ(layout.hitTest(QPoint(8, 5)), QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(layout.hitTest(QPoint(8, 20)), QStyle::SC_ScrollBarSlider);
    EXPECT_EQ(layout.hitTest(QPoint(8, 60)), QStyle::SC_ScrollBarAddPage);
    EXPECT_EQ(layout.hitTest(QPoint(8, 110)), QStyle::SC_ScrollBarAddLine);

    // At the end the thumb touches the forward button; halfway it lies in the middle.
    EXPECT_EQ(ScrollBarLayout(QRect(0, 0, 17, 117), Qt::Vertical, 0, 100, 25, 100).Thumb,
              QRect(0, 84, 17, 16));
    const TsScrollBarLayout half =
        ScrollBarLayout(QRect(0, 0, 17, 117), Qt::Vertical, 0, 100, 25, 50);
    EXPECT_EQ(half.Thumb.top(), 17 + 34) << "67 * 50 / 100, rounded";
    EXPECT_EQ(half.BackPage, QRect(0, 17, 17, 34));
    EXPECT_EQ(half.hitTest(QPoint(8, 30)), QStyle::SC_ScrollBarSubPage);
}

TEST(ScrollBarLayoutTest, ShortBarsTinyPagesAndMirroring) {
    // Too short for two square buttons: they share the length, the track vanishes.
    const TsScrollBarLayout squeezed =
        ScrollBarLayout(QRect(0, 0, 17, 20), Qt::Vertical, 0, 10, 1, 0);
    EXPECT_EQ(squeezed.BackButton.height(), 10);
    EXPECT_EQ(squeezed.ForwardButton, QRect(0, 10, 17, 10));
    EXPECT_TRUE(squeezed.Track.isEmpty());
    // A tiny page still gets a thumb of the least length; without a range it fills the track.
    EXPECT_EQ(ScrollBarLayout(QRect(0, 0, 200, 17), Qt::Horizontal, 0, 10000, 1, 0).Thumb,
              QRect(17, 0, 8, 17));
    EXPECT_EQ(ScrollBarLayout(QRect(0, 0, 200, 17), Qt::Horizontal, 0, 0, 10, 0).Thumb,
              QRect(17, 0, 166, 17));
    // Read right to left, a horizontal bar starts on the right.
    const TsScrollBarLayout rtl = ScrollBarLayout(QRect(0, 0, 200, 17), Qt::Horizontal, 0, 100, 100,
                                                  0, false, Qt::RightToLeft);
    EXPECT_EQ(rtl.BackButton, QRect(183, 0, 17, 17));
    EXPECT_EQ(rtl.ForwardButton, QRect(0, 0, 17, 17));
    EXPECT_EQ(rtl.Thumb.right(), 182);
    // Upside down, the minimum lies at the bottom.
    EXPECT_EQ(ScrollBarLayout(QRect(0, 0, 17, 117), Qt::Vertical, 0, 100, 25, 0, true).Thumb,
              QRect(0, 84, 17, 16));
}

TEST(ComboBoxLayoutTest, TheButtonSitsInsideTheRingAndTheTextUpToIt) {
    const TsComboBoxLayout layout = ComboBoxLayout(QSize(200, 26), QMargins(2, 2, 2, 2), 17);
    EXPECT_EQ(layout.Button, QRect(181, 2, 17, 22));
    EXPECT_EQ(layout.Text, QRect(3, 3, 178, 20));
    // A wider ring pushes the text further in; right to left the button is on the left.
    EXPECT_EQ(ComboBoxLayout(QSize(200, 26), QMargins(5, 4, 4, 4), 17).Text, QRect(5, 4, 174, 18));
    const TsComboBoxLayout rtl =
        ComboBoxLayout(QSize(200, 26), QMargins(2, 2, 2, 2), 17, Qt::RightToLeft);
    EXPECT_EQ(rtl.Button, QRect(2, 2, 17, 22));
    EXPECT_EQ(rtl.Text, QRect(19, 3, 178, 20));
}

TEST_F(EditControlsTest, EditRingColourAndTextFollowTheState) {
    TsEdit edit(&form);
    edit.setGeometry(10, 10, 140, 26);
    form.show();
    ASSERT_TRUE(edit.Cache().skinned());
    EXPECT_FALSE(edit.hasFrame()) << "the ring is the skin's";
    EXPECT_EQ(edit.textMargins(), QMargins(2, 2, 2, 2));

    QImage shown = picture(&edit);
    EXPECT_EQ(shown.pixel(0, 13), EditRing);
    EXPECT_EQ(shown.pixel(1, 13), EditRing);
    EXPECT_EQ(shown.pixel(2, 13), flat::Edit);
    EXPECT_EQ(shown.pixel(137, 13), flat::Edit);
    EXPECT_FALSE(edit.mask().contains(QPoint(0, 0))) << "the ring's corners are cut off";
    EXPECT_TRUE(edit.mask().contains(QPoint(1, 0)));

    // Under the mouse, and focused: the hot ring and colour.
    enter(&edit);
    EXPECT_EQ(edit.CurrentState(), 1);
    EXPECT_EQ(picture(&edit).pixel(0, 13), EditHotRing);
    leave(&edit);
    EXPECT_EQ(picture(&edit).pixel(0, 13), EditRing);

    form.activateWindow();
    edit.setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(edit.hasFocus());
    QTest::keyClicks(&edit, QStringLiteral("Kesta 7"));
    EXPECT_EQ(edit.text(), "Kesta 7");
    EXPECT_EQ(edit.cursorPosition(), 7);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.text(), "esta ");

    shown = picture(&edit);
    EXPECT_EQ(shown.pixel(0, 13), EditHotRing);
    EXPECT_EQ(shown.pixel(137, 13), flat::EditHot);
    // The platform box writes in the section's text colour, and only inside the ring.
    EXPECT_GT(count(shown, flat::EditText), 8);
    EXPECT_EQ(count(shown, flat::EditText, QRect(0, 0, 2, 26)), 0);
    EXPECT_EQ(count(shown, flat::EditText, QRect(0, 0, 140, 2)), 0);
    // Its selection shows as the platform's selection.
    edit.selectAll();
    const QRgb highlight = edit.palette().color(QPalette::Highlight).rgb();
    EXPECT_GT(count(picture(&edit), highlight), 20);
}

TEST_F(EditControlsTest, PasswordsShowTheirCharacterAndTheDisabledLookBlends) {
    TsEdit secret(&form);
    secret.setGeometry(10, 10, 140, 26);
    secret.setEchoMode(QLineEdit::Password);
    secret.setText(QStringLiteral("тайна"));
    TsEdit shown(&form);
    shown.setGeometry(10, 50, 140, 26);
    const QChar bullet(secret.style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter));
    shown.setText(QString(5, bullet));
    form.show();
    EXPECT_EQ(secret.text(), "тайна");
    EXPECT_EQ(picture(&secret), picture(&shown)) << "five password characters, nothing else";

    // Disabled: ring, field and text blended half and half with the parent.
    TsEdit off(&form);
    off.setGeometry(10, 90, 140, 26);
    off.setText(QStringLiteral("Kesta"));
    off.setEnabled(false);
    off.show();
    const QImage blended = picture(&off);
    EXPECT_EQ(blended.pixel(0, 13), halfAndHalf(EditRing, flat::Parent));
    EXPECT_EQ(blended.pixel(137, 13), halfAndHalf(flat::Edit, flat::Parent));
    EXPECT_GT(count(blended, halfAndHalf(flat::EditText, flat::Parent)), 10);
    EXPECT_EQ(count(blended, flat::EditText), 0);
    // A new text of the disabled box shows at once.
    off.setText(QString());
    EXPECT_EQ(count(picture(&off), halfAndHalf(flat::EditText, flat::Parent)), 0);

    // The caption label stays readable beside a blended box, and is greyed with a grey one.
    off.setObjectName(QStringLiteral("sEdit9"));
    off.BoundLabel.setActive(true);
    ASSERT_TRUE(off.BoundLabel.label());
    off.setEnabled(true);
    off.setEnabled(false);
    EXPECT_TRUE(off.BoundLabel.label()->isEnabled());
    off.DisabledKind = dkGrayed;
    off.setEnabled(true);
    off.setEnabled(false);
    EXPECT_FALSE(off.BoundLabel.label()->isEnabled());
    off.setEnabled(true);
    EXPECT_TRUE(off.BoundLabel.label()->isEnabled());
}

TEST_F(EditControlsTest, MemoFrameAndScrollBarPartsInTheirStates) {
    TsMemo* memo = longMemo();
    form.show();
    QApplication::processEvents();
    memo->clearFocus();
    ASSERT_TRUE(memo->ScrollWnd().skinned());
    EXPECT_EQ(memo->frameWidth(), 2) << "as wide as EDIT's border";
    QImage frame = picture(memo);
    EXPECT_EQ(frame.pixel(0, 60), EditRing);
    EXPECT_EQ(frame.pixel(1, 60), EditRing);
    EXPECT_EQ(frame.pixel(150, 100), flat::Edit) << "the text's background";
    EXPECT_FALSE(memo->mask().contains(QPoint(0, 0)));

    QScrollBar* bar = memo->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_TRUE(memo->ScrollWnd().verticalBar()->skinned());
    EXPECT_EQ(QRect(bar->mapTo(memo, QPoint(0, 0)), bar->size()),
              QRect(200 - 2 - kScrollBarExtent, 2, kScrollBarExtent, 116))
        << "inside the ring";
    ASSERT_EQ(bar->value(), 0);
    QImage shown = picture(bar);
    const QRect up = part(bar, QStyle::SC_ScrollBarSubLine);
    const QRect down = part(bar, QStyle::SC_ScrollBarAddLine);
    const QRect thumb = part(bar, QStyle::SC_ScrollBarSlider);
    const QRect after = part(bar, QStyle::SC_ScrollBarAddPage);
    EXPECT_EQ(up, QRect(0, 0, 17, 17));
    EXPECT_EQ(shown.pixel(up.left(), up.center().y()), flat::Frame[0]);
    EXPECT_EQ(shown.pixel(insideRing(up)), ScrollButton);
    EXPECT_EQ(shown.pixel(up.center()), Glyph[0]) << "the arrow, centred";
    EXPECT_EQ(shown.pixel(insideRing(thumb)), Thumb);
    EXPECT_EQ(shown.pixel(thumb.left(), thumb.center().y()), flat::Frame[0]);
    EXPECT_EQ(shown.pixel(thumb.center()), Glyph[0]) << "the grip";
    EXPECT_EQ(shown.pixel(after.center()), Track2) << "the track after the thumb";

    // Under the mouse a part is hot; pressed, it shows the pressed ring.
    QTest::mouseMove(bar, down.center());
    QApplication::processEvents();
    shown = picture(bar);
    EXPECT_EQ(shown.pixel(down.left(), down.center().y()), flat::Frame[1]);
    EXPECT_EQ(shown.pixel(insideRing(down)), ScrollButtonHot);
    EXPECT_EQ(shown.pixel(down.center()), Glyph[1]);
    EXPECT_EQ(shown.pixel(insideRing(up)), ScrollButton) << "the other button stays normal";
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, down.center());
    shown = picture(bar);
    EXPECT_EQ(shown.pixel(down.left(), down.center().y()), flat::Frame[2]);
    EXPECT_EQ(shown.pixel(down.center()), Glyph[2]);
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, down.center());
    QTest::mouseMove(bar, after.center() + QPoint(0, 10));
    QApplication::processEvents();
    const QRect afterNow = part(bar, QStyle::SC_ScrollBarAddPage);
    EXPECT_EQ(picture(bar).pixel(afterNow.center()), Track2Hot);

    // The focused memo shows the hot ring.
    memo->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(picture(memo).pixel(0, 60), EditHotRing);
}

TEST_F(EditControlsTest, SkinnedBarsScrollAsPlatformBarsDo) {
    TsMemo* memo = longMemo();
    form.show();
    QApplication::processEvents();
    QScrollBar* bar = memo->verticalScrollBar();
    ASSERT_TRUE(memo->ScrollWnd().verticalBar()->skinned());
    const int step = bar->singleStep();
    const int page = bar->pageStep();
    ASSERT_GT(bar->maximum(), 3 * page);

    // The arrow steps, the track pages.
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                      part(bar, QStyle::SC_ScrollBarAddLine).center());
    EXPECT_EQ(bar->value(), step);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                      part(bar, QStyle::SC_ScrollBarAddPage).center());
    EXPECT_EQ(bar->value(), step + page);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                      part(bar, QStyle::SC_ScrollBarSubPage).center());
    EXPECT_EQ(bar->value(), step);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                      part(bar, QStyle::SC_ScrollBarSubLine).center());
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(memo->cursorForPosition(QPoint(4, 4)).blockNumber(), 0) << "and the text follows";

    // A held arrow repeats.
    const QPoint down = part(bar, QStyle::SC_ScrollBarAddLine).center();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, down);
    QTest::qWait(800);
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, down);
    EXPECT_GE(bar->value(), 3 * step);

    // Dragging the thumb to the track's end scrolls to the end.
    bar->setValue(0);
    const QRect thumb = part(bar, QStyle::SC_ScrollBarSlider);
    const QRect track = part(bar, QStyle::SC_ScrollBarGroove);
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, thumb.center());
    EXPECT_TRUE(bar->isSliderDown());
    QMouseEvent move(QEvent::MouseMove, QPointF(thumb.center().x(), track.bottom() + 40),
                     bar->mapToGlobal(QPointF(thumb.center().x(), track.bottom() + 40)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier,
                        QPoint(thumb.center().x(), track.bottom() + 40));
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(part(bar, QStyle::SC_ScrollBarSlider).bottom(), track.bottom());

    // The wheel over the text scrolls it as ever.
    bar->setValue(0);
    const QPoint inside = memo->viewport()->rect().center();
    QWheelEvent wheel(inside, memo->viewport()->mapToGlobal(inside), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(memo->viewport(), &wheel);
    EXPECT_EQ(bar->value(), QApplication::wheelScrollLines() * step);
}

TEST_F(EditControlsTest, TheTreeMarksItsSelectedNodeWithTheSkinsSelection) {
    // A selection whose two states differ.
    QFile options(skinPath() + QStringLiteral("/Options.dat"));
    ASSERT_TRUE(options.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(options.readAll());
    options.close();
    constexpr QRgb Active = 0xFF10C0C0;
    constexpr QRgb ActiveText = 0xFF101010;
    text.replace(QStringLiteral("[SELECTION]"), QStringLiteral("[OLDSELECTION]"));
    text += QStringLiteral(
                "[SELECTION]\nSTATES=2\nCOLOR=%1\nFONTCOLOR=%2\nHOTCOLOR=%3\nHOTFONTCOLOR=%4\n")
                .arg(flat::skinColour(flat::Selection), flat::skinColour(flat::SelectionText),
                     flat::skinColour(Active), flat::skinColour(ActiveText));
    ASSERT_TRUE(options.open(QIODevice::WriteOnly | QIODevice::Truncate));
    options.write(text.toUtf8());
    options.close();
    loadSkinInto(manager, skinPath());

    TsTreeView tree(&form);
    tree.setGeometry(10, 10, 240, 150);
    auto* top = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("Раздел")});
    auto* node = new QTreeWidgetItem(top, QStringList{QStringLiteral("Тема")});
    tree.expandAll();
    tree.setCurrentItem(node);
    TsEdit other(&form);
    other.setGeometry(260, 10, 100, 26);
    form.show();
    QApplication::processEvents();
    ASSERT_TRUE(tree.ScrollWnd().skinned());
    other.setFocus();
    QApplication::processEvents();
    EXPECT_EQ(picture(&tree).pixel(0, 75), EditRing);

    const QRect row = tree.visualItemRect(node);
    QStyleOptionViewItem option;
    option.initFrom(tree.viewport());
    option.widget = &tree;
    option.rect = row;
    option.text = node->text(0);
    option.font = tree.font();
    option.features |= QStyleOptionViewItem::HasDisplay;
    const QRect marked = tree.SelectionDelegate()->selectionRect(option);
    ASSERT_FALSE(marked.isEmpty());
    EXPECT_LT(marked.width(), row.width()) << "the text's own rectangle, not the row";

    const auto expectMark = [&](QRgb fill, QRgb ink) {
        const QImage shown = picture(tree.viewport());
        EXPECT_EQ(shown.pixel(marked.left(), marked.top()), fill);
        EXPECT_EQ(shown.pixel(marked.right(), marked.bottom()), fill);
        EXPECT_GT(count(shown, ink, marked), 10) << "the node's text in the selection's colour";
        EXPECT_EQ(shown.pixel(marked.right() + 3, marked.center().y()), flat::Edit);
        EXPECT_EQ(shown.pixel(row.left() - 2, row.center().y()), flat::Edit)
            << "the branches are not marked";
    };
    other.setFocus();
    QApplication::processEvents();
    expectMark(flat::Selection, flat::SelectionText);
    tree.setFocus();
    QApplication::processEvents();
    expectMark(Active, ActiveText);

    // The click signal is still there.
    int clicks = 0;
    QObject::connect(&tree, &TsTreeView::Click, [&clicks] { ++clicks; });
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    QTest::keyClick(&tree, Qt::Key_Return);
    EXPECT_EQ(clicks, 2);
}

TEST_F(EditControlsTest, ComboBoxButtonFollowsTheBoxAndTheOpenList) {
    TsComboBox combo(&form);
    combo.setGeometry(10, 10, 200, 26);
    combo.setEditable(true);
    combo.setInsertPolicy(QComboBox::NoInsert);
    combo.addItems({QStringLiteral("Основы"), QStringLiteral("Модели"), QStringLiteral("Сети")});
    form.show();
    QApplication::processEvents();
    ASSERT_TRUE(combo.Cache().skinned());
    EXPECT_EQ(combo.DropDownCount(), 16);
    const TsComboBoxLayout layout = combo.Layout();
    EXPECT_EQ(layout.Button, QRect(181, 2, 17, 22));
    EXPECT_EQ(combo.lineEdit()->geometry(), layout.Text) << "the text sits where it is painted";

    // The button in its state with its arrow's frame, the box in its own state.
    const auto expectLook = [&](int button, int box) {
        const QImage shown = picture(&combo);
        const QRect b = layout.Button;
        EXPECT_EQ(shown.pixel(b.left(), b.center().y()), flat::Frame[size_t(button)]) << button;
        EXPECT_EQ(shown.pixel(insideRing(b)), button == 0 ? Button : ButtonHot) << button;
        EXPECT_EQ(shown.pixel(b.center()), Glyph[size_t(button)]) << button;
        EXPECT_EQ(shown.pixel(0, 13), box == 0 ? EditRing : EditHotRing) << box;
        EXPECT_EQ(shown.pixel(2, 13), box == 0 ? Combo : ComboHot) << "around the text" << box;
    };
    combo.clearFocus();
    expectLook(0, 0);
    enter(&combo);
    expectLook(1, 1);
    leave(&combo);
    expectLook(0, 0);
    combo.setFocus();
    expectLook(1, 1);

    combo.showPopup();
    QApplication::processEvents();
    ASSERT_TRUE(combo.DroppedDown());
    EXPECT_EQ(combo.ButtonState(), 2);
    expectLook(2, combo.CurrentState());
    // The open list marks its selected item with the skin's selection.
    QAbstractItemView* list = combo.view();
    const QModelIndex second = combo.model()->index(1, 0);
    list->setCurrentIndex(second);
    QApplication::processEvents();
    const QImage items = picture(list->viewport());
    const QRect marked = list->visualRect(second);
    EXPECT_EQ(items.pixel(marked.left() + 1, marked.center().y()), flat::Selection);
    EXPECT_GT(count(items, flat::SelectionText, marked), 10);
    const QRect first = list->visualRect(combo.model()->index(0, 0));
    EXPECT_EQ(count(items, flat::Selection, first), 0);
    EXPECT_FALSE(combo.PopupScrollWnd()->skinned()) << "a list that does not scroll";
    combo.hidePopup();
    QApplication::processEvents();
    EXPECT_FALSE(combo.DroppedDown());
    EXPECT_EQ(picture(&combo).pixel(layout.Button.center()), Glyph[size_t(combo.CurrentState())]);

    // Typing into the box works as in the platform's box.
    combo.setFocus();
    combo.setEditText(QString());
    QTest::keyClicks(&combo, QStringLiteral("Kesta"));
    EXPECT_EQ(combo.currentText(), "Kesta");
    EXPECT_EQ(combo.count(), 3) << "nothing inserted";
    EXPECT_GT(count(picture(&combo), ComboText), 10) << "in the section's text colour";
}

TEST_F(EditControlsTest, AComboListThatScrollsIsFramedAsAnEdit) {
    TsComboBox combo(&form);
    combo.setGeometry(10, 10, 200, 26);
    for (int i = 0; i < 20; ++i)
        combo.addItem(QStringLiteral("Тема %1").arg(i));
    form.show();
    combo.showPopup();
    QApplication::processEvents();
    TsScrollWnd* list = combo.PopupScrollWnd();
    ASSERT_TRUE(list && list->skinned());
    QAbstractItemView* view = combo.view();
    EXPECT_EQ(view->frameWidth(), 2);
    const QImage framed = picture(view);
    EXPECT_TRUE(framed.pixel(0, view->height() / 2) == EditRing ||
                framed.pixel(0, view->height() / 2) == EditHotRing);
    EXPECT_TRUE(list->verticalBar()->skinned());
    combo.hidePopup();

    // A drop-down list writes its item itself, as selected while it has the focus.
    combo.setCurrentIndex(3);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    combo.setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(combo.hasFocus());
    const QImage shown = picture(&combo);
    const QRect text = combo.Layout().Text;
    EXPECT_EQ(shown.pixel(text.topLeft()), flat::Selection);
    EXPECT_GT(count(shown, flat::SelectionText, text), 10);

    // Read-only, it opens no list and keeps its item.
    combo.setReadOnly(true);
    combo.showPopup();
    EXPECT_FALSE(combo.DroppedDown());
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.currentIndex(), 3);
    combo.setReadOnly(false);
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.currentIndex(), 4);
}

TEST_F(EditControlsTest, GridsAndListsTakeTheComponentFromTheirForms) {
    TDBGrid grid(&form);
    grid.setGeometry(10, 10, 200, 120);
    QListWidget plain(&form);
    plain.setGeometry(220, 10, 150, 120);
    for (int i = 0; i < 30; ++i)
        plain.addItem(QStringLiteral("%1").arg(i));
    TsScrollWnd* component = TsScrollWnd::attach(&grid, QStringLiteral("EDIT"));
    EXPECT_EQ(TsScrollWnd::attach(&grid, QStringLiteral("EDIT")), component) << "only once";
    EXPECT_EQ(TsScrollWnd::of(&grid), component);
    EXPECT_EQ(TsCommonData::of(&grid), &component->data());
    TsScrollWnd* list = TsScrollWnd::attach(&plain, QStringLiteral("EDIT"));
    form.show();
    QApplication::processEvents();
    grid.clearFocus();
    plain.clearFocus();
    ASSERT_TRUE(component->skinned());
    EXPECT_EQ(picture(&grid).pixel(0, 60), EditRing);
    EXPECT_EQ(grid.palette().color(QPalette::Base).rgb(), flat::Edit) << "the section's colours";
    ASSERT_TRUE(plain.verticalScrollBar()->isVisible());
    EXPECT_TRUE(list->verticalBar()->skinned());
    EXPECT_EQ(plain.verticalScrollBar()->width(), kScrollBarExtent);

    // Disabled, the frame blends with what lies behind.
    grid.setEnabled(false);
    EXPECT_EQ(picture(&grid).pixel(0, 60), halfAndHalf(EditRing, flat::Parent));
}

TEST_F(EditControlsTest, RemovingTheSkinGivesThePlatformControlsBack) {
    TsEdit edit(&form);
    edit.setGeometry(10, 10, 140, 26);
    edit.setText(QStringLiteral("Kesta"));
    QLineEdit platformEdit(&form);
    platformEdit.setGeometry(10, 50, 140, 26);
    platformEdit.setText(QStringLiteral("Kesta"));
    TsMemo* memo = longMemo();
    memo->move(160, 10);
    QPlainTextEdit platformMemo(&form);
    const int platformBar = platformMemo.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    TsComboBox combo(&form);
    combo.setGeometry(10, 140, 140, 26);
    combo.setEditable(true);
    combo.addItem(QStringLiteral("Основы"));
    TsTreeView tree(&form);
    tree.setGeometry(160, 140, 200, 100);
    new QTreeWidgetItem(&tree, QStringList{QStringLiteral("Раздел")});
    QComboBox platformCombo(&form);
    platformCombo.setGeometry(10, 180, 140, 26);
    platformCombo.setEditable(true);
    platformCombo.addItem(QStringLiteral("Основы"));
    form.show();
    QApplication::processEvents();
    edit.clearFocus();
    memo->clearFocus();
    combo.clearFocus();
    ASSERT_TRUE(memo->ScrollWnd().skinned());
    ASSERT_FALSE(memo->mask().isEmpty());

    manager.setActive(false);
    QApplication::processEvents();
    EXPECT_FALSE(edit.Cache().skinned());
    EXPECT_TRUE(edit.hasFrame());
    EXPECT_EQ(edit.textMargins(), QMargins());
    EXPECT_TRUE(edit.mask().isEmpty());
    EXPECT_EQ(picture(&edit), picture(&platformEdit));
    EXPECT_FALSE(memo->ScrollWnd().skinned());
    EXPECT_EQ(memo->frameStyle(), platformMemo.frameStyle());
    EXPECT_EQ(memo->frameWidth(), platformMemo.frameWidth());
    EXPECT_TRUE(memo->mask().isEmpty());
    EXPECT_EQ(memo->verticalScrollBar()->style(), QApplication::style());
    EXPECT_EQ(memo->verticalScrollBar()->width(), platformBar);
    EXPECT_FALSE(memo->ScrollWnd().verticalBar()->skinned());
    EXPECT_EQ(combo.style(), QApplication::style());
    EXPECT_EQ(tree.style(), QApplication::style());
    EXPECT_EQ(tree.frameStyle(), QTreeWidget().frameStyle());
    EXPECT_EQ(picture(&combo), picture(&platformCombo));
    QTest::keyClicks(&edit, QStringLiteral("!"));
    EXPECT_EQ(edit.text(), "Kesta!") << "and it works as one";

    manager.setActive(true);
    QApplication::processEvents();
    ASSERT_TRUE(edit.Cache().skinned());
    EXPECT_FALSE(edit.hasFrame());
    EXPECT_EQ(picture(&edit).pixel(0, 13), EditRing);
    EXPECT_TRUE(memo->ScrollWnd().skinned());
    EXPECT_EQ(memo->frameWidth(), 2);
    EXPECT_FALSE(memo->mask().isEmpty());
    EXPECT_EQ(memo->verticalScrollBar()->width(), kScrollBarExtent);
    EXPECT_EQ(picture(memo).pixel(0, 60), EditRing);
    EXPECT_EQ(picture(&combo).pixel(combo.Layout().Button.center()), Glyph[0]);
    EXPECT_NE(tree.style(), QApplication::style()) << "the tree marks its selection again";
    EXPECT_TRUE(tree.ScrollWnd().skinned());
}

TEST_F(EditControlsTest, TheDataMemoIsFramedAsAMemo) {
    TsDBMemo memo(&form);
    memo.setGeometry(10, 10, 200, 100);
    form.show();
    QApplication::processEvents();
    memo.clearFocus();
    EXPECT_TRUE(memo.ScrollWnd().skinned());
    EXPECT_EQ(picture(&memo).pixel(0, 50), EditRing);
    memo.setFocus();
    EXPECT_EQ(picture(&memo).pixel(0, 50), EditHotRing);
}

}  // namespace
