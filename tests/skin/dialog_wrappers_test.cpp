// The wrappers of the controls of dialogs the program did not make, against the flat skin:
// tab bars, spin boxes, sliders, tool buttons, labels, combo boxes, edits and lists painted
// from their sections pixel by pixel; a skin without some sections drawing them from near
// kinds'; every control given back as it was when the skin goes or its wrapper is deleted;
// a dialog wrapped once however often it is shown.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHoverEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStyleOptionSpinBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>

#include "flat_skin.h"
#include "platform/form.h"
#include "platform/skin_message.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sScrollWnd.h"
#include "skin/core/sAutoSkin.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sDialogWrappers.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sWindowAdapters.h"
#include "skin_sheet.h"

namespace {

using flat::skinColour;

constexpr QRgb kTab = 0xFF6E3C1E;
constexpr QRgb kTabHot = 0xFF1E6E3C;
constexpr QRgb kTabText = 0xFF0000C0;
constexpr QRgb kTabHotText = 0xFFC00000;
constexpr QRgb kTrack = 0xFF8C8C28;
constexpr QRgb kTrackHot = 0xFF28A08C;
constexpr QRgb kTool = 0xFF646E78;
constexpr QRgb kToolHot = 0xFFB4A08C;
constexpr QRgb kSpin = 0xFF3C5A78;
constexpr QRgb kSpinHot = 0xFF78B43C;
constexpr QRgb kLabelText = 0xFF0A6E0A;
constexpr QRgb kCombo = 0xFFDCDCB4;
constexpr QRgb kComboButton = 0xFF5A3C8C;
constexpr QRgb kIcon = 0xFFE01090;
constexpr QRgb kEditRing = 0xFF405060;     // EDIT's ring in state 0
constexpr QRgb kEditHotRing = 0xFF6080A0;  // and while focused or hovered

// EDIT's ring and field as a control shows them now: hot while it has the focus.
QRgb ringOf(const QWidget* control) {
    return control->hasFocus() ? kEditHotRing : kEditRing;
}
QRgb fieldOf(const QWidget* control) {
    return control->hasFocus() ? flat::EditHot : flat::Edit;
}

// A section of three states drawn with BUTTON's ring (one frame a state).
QString threeStates(const QString& name, QRgb normal, QRgb hot, QRgb text, QRgb hotText) {
    return QStringLiteral(
               "[%1]\nSTATES=3\nCOLOR=%2\nHOTCOLOR=%3\nFONTCOLOR=%4\nHOTFONTCOLOR=%5\n"
               "BORDERSMASK=^0000,0000,0018,0006,0002,0002,0002,0002,3,0,0,0\n")
        .arg(name, skinColour(normal), skinColour(hot), skinColour(text), skinColour(hotText));
}

QString windowSections() {
    return QStringLiteral(
               "[FORM]\nSTATES=2\nCOLOR=%1\nHOTCOLOR=%1\nFONTCOLOR=0x000000\n"
               "BORDERSMASK=^0024,0000,0036,0006,0002,0002,0002,0002,2,0,0,0\n"
               "[DIALOG]\nSTATES=2\nCOLOR=%1\nHOTCOLOR=%1\nFONTCOLOR=0x000000\n"
               "BORDERSMASK=^0024,0000,0036,0006,0002,0002,0002,0002,2,0,0,0\n"
               "[FORMTITLE]\nSTATES=2\nCOLOR=0x707070\nHOTCOLOR=0xC08020\n"
               "[CHECKBOX]\nSTATES=2\nTRANSPARENCY=100\nHOTTRANSPARENCY=100\nFONTCOLOR=%2\n"
               "HOTFONTCOLOR=%2\n"
               "[COMBOBOX]\nSTATES=2\nCOLOR=%3\nHOTCOLOR=%3\nFONTCOLOR=%4\nHOTFONTCOLOR=%4\n"
               "[COMBOBTN]\nSTATES=3\nCOLOR=%5\nHOTCOLOR=%5\nFONTCOLOR=0xFFFFFF\n"
               "HOTFONTCOLOR=0xFFFFFF\n")
        .arg(skinColour(flat::Parent), skinColour(kLabelText), skinColour(kCombo),
             skinColour(flat::EditText), skinColour(kComboButton));
}

// Every section the wrappers are drawn from.
QString allSections() {
    return windowSections() +
           threeStates(QStringLiteral("PAGECONTROL"), kTab, kTabHot, kTabText, kTabHotText) +
           threeStates(QStringLiteral("TRACKBAR"), kTrack, kTrackHot, kTabText, kTabText) +
           threeStates(QStringLiteral("TOOLBUTTON"), kTool, kToolHot, kTabText, kTabHotText) +
           threeStates(QStringLiteral("SPEEDBUTTON_SMALL"), kSpin, kSpinHot, 0xFF000000,
                       0xFF000000);
}

QImage picture(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Whether some pixel of `area` has exactly the colour.
bool shows(const QImage& image, const QRect& area, QRgb colour) {
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (image.pixel(x, y) == colour) return true;
    return false;
}

QPixmap solidIcon(QRgb colour) {
    QPixmap pixmap(12, 12);
    pixmap.fill(QColor::fromRgb(colour));
    return pixmap;
}

void hover(QWidget* widget, QPoint at) {
    QHoverEvent move(QEvent::HoverMove, at, widget->mapToGlobal(at), QPointF(-1, -1));
    QApplication::sendEvent(widget, &move);
    QMouseEvent mouse(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &mouse);
}

void press(QWidget* widget, QPoint at, QEvent::Type type = QEvent::MouseButtonPress) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

class DialogWrappersTest : public ::testing::Test {
protected:
    DialogWrappersTest() {
        flat::writeSkin(folder.path(), allSections());
        loadSkinInto(manager, folder.path() + QStringLiteral("/FLAT"));
        QPalette palette = host.palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(flat::Parent));
        host.setPalette(palette);
        host.resize(420, 220);
        QFont font = host.font();
        font.setPixelSize(14);
        font.setBold(true);
        host.setFont(font);
    }

    // Shows the controls with the focus on their window, none of them hot.
    void showHost() {
        host.show();
        host.setFocus();
        QApplication::processEvents();
    }

    // The flat skin again without some sections.
    void loadWithout() {
        flat::writeSkin(leaner.path(), windowSections());
        loadSkinInto(manager, leaner.path() + QStringLiteral("/FLAT"));
        QApplication::processEvents();
    }

    QTemporaryDir folder;
    QTemporaryDir leaner;
    TsSkinManager manager;
    // A form of the program's, which the skin's commands reach.
    TForm host;
};

TEST_F(DialogWrappersTest, TabsAreDrawnFromTheirSectionByState) {
    auto* bar = new QTabBar(&host);
    bar->setExpanding(false);
    for (const char* name : {"Общие", "Вид", "Файлы"}) bar->addTab(QString::fromUtf8(name));
    bar->setCurrentIndex(1);
    bar->setGeometry(10, 10, 380, bar->sizeHint().height());
    new TsTabBarWrapper(bar);
    showHost();

    QImage shown = picture(bar);
    const QRect normal = bar->tabRect(0), current = bar->tabRect(1), other = bar->tabRect(2);
    // The current tab pressed: the third ring, the hot field, the hot text.
    EXPECT_EQ(shown.pixel(current.left(), current.center().y()), flat::Frame[2]);
    EXPECT_EQ(shown.pixel(current.left() + 3, current.top() + 3), kTabHot);
    EXPECT_TRUE(shows(shown, current.adjusted(4, 4, -4, -4), kTabHotText));
    EXPECT_FALSE(shows(shown, current.adjusted(4, 4, -4, -4), kTabText));
    // The others normal, with the normal text.
    EXPECT_EQ(shown.pixel(normal.left(), normal.center().y()), flat::Frame[0]);
    EXPECT_EQ(shown.pixel(normal.left() + 3, normal.top() + 3), kTab);
    EXPECT_TRUE(shows(shown, normal.adjusted(4, 4, -4, -4), kTabText));
    // Beside the tabs the parent shows.
    EXPECT_EQ(shown.pixel(bar->width() - 2, bar->height() / 2), flat::Parent);

    // The tab under the mouse is hot; the current one stays pressed.
    hover(bar, other.center());
    QApplication::processEvents();
    shown = picture(bar);
    EXPECT_EQ(shown.pixel(other.left(), other.center().y()), flat::Frame[1]);
    EXPECT_EQ(shown.pixel(other.left() + 3, other.top() + 3), kTabHot);
    EXPECT_EQ(shown.pixel(current.left(), current.center().y()), flat::Frame[2]);
    // Choosing another tab moves the pressed look.
    bar->setCurrentIndex(0);
    QApplication::processEvents();
    shown = picture(bar);
    EXPECT_EQ(shown.pixel(normal.left(), normal.center().y()), flat::Frame[2]);
    EXPECT_EQ(shown.pixel(current.left(), current.center().y()), flat::Frame[0]);
}

TEST_F(DialogWrappersTest, SpinButtonsAreSmallSpeedButtonsAndStillStep) {
    auto* spin = new QSpinBox(&host);
    spin->setRange(0, 10);
    spin->setValue(5);
    spin->setGeometry(10, 10, 120, 28);
    auto* wrapper = new TsSpinBoxWrapper(spin);
    showHost();

    const QRect up = wrapper->upRect(), down = wrapper->downRect();
    ASSERT_FALSE(up.isEmpty());
    ASSERT_FALSE(down.isEmpty());
    // Both inside the field's ring, on the right, one above the other.
    EXPECT_EQ(up.right(), spin->width() - 1 - flat::Margin);
    EXPECT_EQ(up.top(), flat::Margin);
    EXPECT_EQ(down.top(), up.bottom() + 1);
    QImage shown = picture(spin);
    EXPECT_EQ(shown.pixel(up.left(), up.center().y()), flat::Frame[0]);
    EXPECT_EQ(shown.pixel(up.left() + 2, up.top() + 2), kSpin);
    EXPECT_EQ(shown.pixel(down.left() + 2, down.bottom() - 2), kSpin);
    // The arrow in the button's text colour.
    EXPECT_TRUE(shows(shown, up.adjusted(2, 2, -2, -2), 0xFF000000));
    // The field is an edit's: its ring and colour left of the buttons.
    EXPECT_EQ(shown.pixel(0, spin->height() / 2), ringOf(spin));
    EXPECT_EQ(shown.pixel(flat::Margin, spin->height() / 2), fieldOf(spin));

    // Under the mouse the down button is hot; pressed, the up button steps and looks pressed.
    hover(spin, down.center());
    QApplication::processEvents();
    EXPECT_EQ(wrapper->downState(), 1);
    shown = picture(spin);
    EXPECT_EQ(shown.pixel(down.left(), down.center().y()), flat::Frame[1]);
    EXPECT_EQ(shown.pixel(down.left() + 2, down.bottom() - 2), kSpinHot);
    hover(spin, up.center());
    press(spin, up.center());
    QApplication::processEvents();
    EXPECT_EQ(spin->value(), 6);
    EXPECT_EQ(wrapper->upState(), 2);
    shown = picture(spin);
    EXPECT_EQ(shown.pixel(up.left(), up.center().y()), flat::Frame[2]);
    EXPECT_EQ(shown.pixel(down.left(), down.center().y()), flat::Frame[0]);
    press(spin, up.center(), QEvent::MouseButtonRelease);
    EXPECT_EQ(spin->value(), 6);
    EXPECT_NE(wrapper->upState(), 2);
}

TEST_F(DialogWrappersTest, SliderGrooveAndHandleComeFromTheTrackBar) {
    auto* slider = new QSlider(Qt::Horizontal, &host);
    slider->setRange(0, 100);
    slider->setValue(50);
    slider->setGeometry(10, 10, 220, 30);
    auto* wrapper = new TsSliderWrapper(slider);
    showHost();

    const QRect handle = wrapper->handleRect(), groove = wrapper->grooveRect();
    ASSERT_GT(handle.width(), 2 * flat::Margin);
    QImage shown = picture(slider);
    // The groove: the section's ring and field, across the slider through the handle's middle.
    EXPECT_EQ(shown.pixel(groove.left() + 3, groove.top()), flat::Frame[0]);
    EXPECT_EQ(shown.pixel(groove.left() + 3, groove.center().y()), kTrack);
    EXPECT_NEAR(groove.center().y(), handle.center().y(), 1);
    // Around it the parent shows.
    EXPECT_EQ(shown.pixel(groove.left() + 3, 0), flat::Parent);
    // The handle in its state: normal, then pressed while dragged.
    EXPECT_EQ(shown.pixel(handle.left(), handle.center().y()), flat::Frame[0]);
    slider->setSliderDown(true);
    QApplication::processEvents();
    shown = picture(slider);
    EXPECT_EQ(shown.pixel(handle.left(), handle.center().y()), flat::Frame[2]);
    EXPECT_EQ(shown.pixel(handle.center().x(), handle.top() + flat::Margin), kTrackHot);
    slider->setSliderDown(false);
    // Moved, the handle is drawn where the value puts it.
    slider->setValue(0);
    QApplication::processEvents();
    const QRect moved = wrapper->handleRect();
    EXPECT_LT(moved.left(), handle.left());
    shown = picture(slider);
    EXPECT_EQ(shown.pixel(moved.left(), moved.center().y()), flat::Frame[0]);
    EXPECT_EQ(shown.pixel(handle.center().x(), groove.center().y()), kTrack);

    // Ticks below the handle in the section's text colour, one a step while they lie apart.
    slider->setRange(0, 10);
    slider->setTickPosition(QSlider::TicksBelow);
    QApplication::processEvents();
    shown = picture(slider);
    const int row = wrapper->handleRect().bottom() + 2;
    int ticks = 0;
    for (int x = 0; x < shown.width(); ++x) ticks += shown.pixel(x, row) == kTabText;
    EXPECT_EQ(ticks, 11);
    slider->setRange(0, 1000);
    slider->setPageStep(100);
    QApplication::processEvents();
    shown = picture(slider);
    ticks = 0;
    for (int x = 0; x < shown.width(); ++x) ticks += shown.pixel(x, row) == kTabText;
    EXPECT_EQ(ticks, 11);
}

TEST_F(DialogWrappersTest, ToolButtonIsHotUnderTheMouseWithItsIconOnTop) {
    auto* button = new QToolButton(&host);
    button->setIcon(solidIcon(kIcon));
    button->setIconSize(QSize(12, 12));
    button->setAutoRaise(true);
    button->setGeometry(10, 10, 30, 30);
    new TsToolButtonWrapper(button);
    showHost();

    QImage shown = picture(button);
    EXPECT_EQ(shown.pixel(0, 15), flat::Frame[0]);
    EXPECT_EQ(shown.pixel(3, 3), kTool);
    EXPECT_EQ(shown.pixel(15, 15), kIcon);

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(button, &enter);
    QApplication::processEvents();
    shown = picture(button);
    EXPECT_EQ(shown.pixel(0, 15), flat::Frame[1]);
    EXPECT_EQ(shown.pixel(3, 3), kToolHot);
    EXPECT_EQ(shown.pixel(15, 15), kIcon);

    // Pressed: the third ring, the icon a pixel down and right.
    button->setDown(true);
    QApplication::processEvents();
    shown = picture(button);
    EXPECT_EQ(shown.pixel(0, 15), flat::Frame[2]);
    const int left = (30 - 12) / 2;
    EXPECT_EQ(shown.pixel(left, left), kToolHot);
    EXPECT_EQ(shown.pixel(left + 1, left + 1), kIcon);
}

TEST_F(DialogWrappersTest, LabelWritesInTheCheckBoxColourOverItsParent) {
    auto* label = new QLabel(QStringLiteral("Имя файла:"), &host);
    QPalette own = label->palette();
    own.setColor(QPalette::WindowText, QColor(0x30, 0x90, 0x30));
    own.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xFF));
    label->setPalette(own);
    label->setAutoFillBackground(true);
    label->setGeometry(10, 10, 200, 30);
    new TsStaticTextWrapper(label);
    showHost();

    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor::fromRgb(kLabelText));
    EXPECT_FALSE(label->autoFillBackground());
    const QImage shown = picture(&host).copy(label->geometry());
    EXPECT_EQ(shown.pixel(shown.width() - 2, 1), flat::Parent);
    EXPECT_TRUE(shows(shown, shown.rect(), kLabelText));

    // Without the skin the label is its own again.
    manager.setActive(false);
    QApplication::processEvents();
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0x30, 0x90, 0x30));
    EXPECT_TRUE(label->autoFillBackground());
    EXPECT_EQ(picture(label).pixel(label->width() - 2, 1), 0xFFFFFFFFu);
}

TEST_F(DialogWrappersTest, ComboBoxPaintsFieldButtonAndItsItem) {
    auto* box = new QComboBox(&host);
    box->addItems({QStringLiteral("Все файлы"), QStringLiteral("Таблицы")});
    box->setGeometry(10, 10, 180, 26);
    auto* wrapper = new TsComboBoxWrapper(box);
    showHost();

    const QRect button = wrapper->buttonRect();
    ASSERT_EQ(button.right(), box->width() - 1);
    const QImage shown = picture(box);
    EXPECT_EQ(shown.pixel(1, 1), kCombo);
    EXPECT_EQ(shown.pixel(button.left() + 1, 1), kComboButton);
    // The arrow in the button's text colour; the item in the box's.
    EXPECT_TRUE(shows(shown, button, 0xFFFFFFFF));
    const QRect text(0, 0, button.left(), box->height());
    EXPECT_TRUE(shows(shown, text, flat::EditText));
    EXPECT_FALSE(shows(shown, text, flat::Selection));
    // With the focus the item is marked as selected.
    box->setFocus();
    QApplication::processEvents();
    const QImage focused = picture(box);
    EXPECT_TRUE(shows(focused, text, flat::Selection));
    EXPECT_TRUE(shows(focused, text, flat::SelectionText));
    EXPECT_EQ(focused.pixel(1, 1), kCombo);
}

TEST_F(DialogWrappersTest, ListIsFramedAsAnEditWithTheSkinsSelection) {
    auto* list = new QListWidget(&host);
    list->addItems({QStringLiteral("Документы"), QStringLiteral("Загрузки"),
                    QStringLiteral("Рабочий стол")});
    list->setGeometry(10, 10, 200, 150);
    const int ownFrame = list->frameStyle();
    const QPalette ownPalette = list->palette();
    QAbstractItemDelegate* ownDelegate = list->itemDelegate();
    list->setCurrentRow(1);
    auto* wrapper = new TsItemViewWrapper(list);
    showHost();

    ASSERT_NE(wrapper->scrollWnd(), nullptr);
    EXPECT_TRUE(wrapper->scrollWnd()->skinned());
    EXPECT_NE(list->itemDelegate(), ownDelegate);
    QImage shown = picture(list);
    EXPECT_EQ(shown.pixel(0, shown.height() / 2), ringOf(list));
    // The field below the items, and the selected row to its end.
    EXPECT_EQ(shown.pixel(shown.width() / 2, shown.height() - 5), flat::Edit);
    const QRect row = list->visualItemRect(list->item(1)).translated(list->viewport()->pos());
    EXPECT_EQ(shown.pixel(row.right() - 2, row.center().y()), flat::Selection);
    EXPECT_TRUE(shows(shown, row, flat::SelectionText));
    const QRect first = list->visualItemRect(list->item(0)).translated(list->viewport()->pos());
    EXPECT_EQ(shown.pixel(first.right() - 2, first.center().y()), flat::Edit);

    // Deleting the wrapper gives the list back: frame, colours, items' drawing.
    delete wrapper;
    QApplication::processEvents();
    EXPECT_EQ(TsScrollWnd::of(list), nullptr);
    EXPECT_FALSE(TsSkinMessage::isSkinnedControl(list));
    EXPECT_EQ(list->frameStyle(), ownFrame);
    EXPECT_EQ(list->itemDelegate(), ownDelegate);
    EXPECT_EQ(list->palette().color(QPalette::Base), ownPalette.color(QPalette::Base));
    EXPECT_EQ(list->palette().color(QPalette::Text), ownPalette.color(QPalette::Text));
    shown = picture(list);
    EXPECT_NE(shown.pixel(shown.width() / 2, shown.height() - 5), flat::Edit);
}

TEST_F(DialogWrappersTest, RemovingTheSkinGivesEveryControlItsOwnLook) {
    auto* layout = new QVBoxLayout(&host);
    auto* edit = new QLineEdit(QStringLiteral("отчёт.csv"), &host);
    auto* spin = new QSpinBox(&host);
    auto* bar = new QTabBar(&host);
    bar->addTab(QStringLiteral("Один"));
    bar->addTab(QStringLiteral("Два"));
    auto* list = new QListWidget(&host);
    for (QWidget* widget : {static_cast<QWidget*>(edit), static_cast<QWidget*>(spin),
                            static_cast<QWidget*>(bar), static_cast<QWidget*>(list)})
        layout->addWidget(widget);
    const QMargins editMargins = edit->textMargins();
    const QColor editBase = edit->palette().color(QPalette::Base);
    const QColor listBase = list->palette().color(QPalette::Base);
    const int listFrame = list->frameStyle();
    const bool tracking = bar->hasMouseTracking();
    QLineEdit* spinEdit = spin->findChild<QLineEdit*>();
    ASSERT_NE(spinEdit, nullptr);
    const QColor spinBase = spinEdit->palette().color(QPalette::Base);
    new TsLineEditWrapper(edit);
    new TsSpinBoxWrapper(spin);
    new TsTabBarWrapper(bar);
    new TsItemViewWrapper(list);
    showHost();

    // Skinned: the skin's ring in place of the frames, the fields the skin's.
    EXPECT_FALSE(edit->hasFrame());
    EXPECT_EQ(edit->textMargins(), QMargins(2, 2, 2, 2));
    EXPECT_EQ(picture(edit).pixel(0, edit->height() / 2), ringOf(edit));
    EXPECT_NE(spin->style(), QApplication::style());
    EXPECT_EQ(list->palette().color(QPalette::Base), QColor::fromRgb(flat::Edit));
    EXPECT_TRUE(bar->hasMouseTracking());
    EXPECT_TRUE(TsSkinMessage::isSkinnedControl(edit));

    manager.setActive(false);
    QApplication::processEvents();
    EXPECT_TRUE(edit->hasFrame());
    EXPECT_EQ(edit->textMargins(), editMargins);
    EXPECT_EQ(edit->palette().color(QPalette::Base), editBase);
    EXPECT_NE(picture(edit).pixel(0, edit->height() / 2), ringOf(edit));
    EXPECT_EQ(spin->style(), QApplication::style());
    EXPECT_EQ(spinEdit->palette().color(QPalette::Base), spinBase);
    EXPECT_EQ(list->frameStyle(), listFrame);
    EXPECT_EQ(list->palette().color(QPalette::Base), listBase);
    EXPECT_EQ(bar->hasMouseTracking(), tracking);
    EXPECT_NE(picture(bar).pixel(bar->tabRect(0).left() + 3, bar->tabRect(0).top() + 3), kTabHot);
    // The controls still work as their own.
    spin->stepBy(2);
    EXPECT_EQ(spin->value(), 2);

    // The skin back: skinned again.
    manager.setActive(true);
    QApplication::processEvents();
    EXPECT_FALSE(edit->hasFrame());
    EXPECT_EQ(picture(edit).pixel(0, edit->height() / 2), ringOf(edit));
}

TEST_F(DialogWrappersTest, ASkinWithoutTabsOrTrackBarsDrawsThemFromNearSections) {
    auto* bar = new QTabBar(&host);
    bar->addTab(QStringLiteral("Один"));
    bar->addTab(QStringLiteral("Два"));
    bar->setGeometry(10, 10, 200, bar->sizeHint().height());
    auto* slider = new QSlider(Qt::Horizontal, &host);
    slider->setRange(0, 10);
    slider->setGeometry(10, 80, 200, 30);
    auto* tabs = new TsTabBarWrapper(bar);
    auto* track = new TsSliderWrapper(slider);
    showHost();
    EXPECT_EQ(tabs->SkinData().SkinSection(), QStringLiteral("PAGECONTROL"));

    // A new skin without them: the tabs take the tool button's look (flat has none here,
    // so a push button's), the groove an edit's, the handle a push button's.
    loadWithout();
    EXPECT_EQ(tabs->SkinData().SkinSection(), QStringLiteral("BUTTON"));
    EXPECT_EQ(track->SkinData().SkinSection(), QStringLiteral("EDIT"));
    ASSERT_TRUE(tabs->skinned());
    ASSERT_TRUE(track->skinned());
    QImage shown = picture(bar);
    const QRect current = bar->tabRect(bar->currentIndex());
    EXPECT_EQ(shown.pixel(current.left(), current.center().y()), flat::Frame[2]);
    EXPECT_EQ(shown.pixel(current.left() + 3, current.top() + 3), flat::Hot);
    shown = picture(slider);
    const QRect groove = track->grooveRect(), handle = track->handleRect();
    EXPECT_EQ(shown.pixel(groove.right() - 3, groove.center().y()), flat::Edit);
    EXPECT_EQ(shown.pixel(handle.left(), handle.center().y()), flat::Frame[0]);
    EXPECT_EQ(shown.pixel(handle.center().x(), handle.top() + flat::Margin), flat::Normal);

    // The full skin back: the tabs' own section again.
    loadSkinInto(manager, folder.path() + QStringLiteral("/FLAT"));
    QApplication::processEvents();
    EXPECT_EQ(tabs->SkinData().SkinSection(), QStringLiteral("PAGECONTROL"));
    EXPECT_EQ(picture(bar).pixel(current.left() + 3, current.top() + 3), kTabHot);
}

// ---- dialogs -------------------------------------------------------------------------------

class DialogAdapterTest : public DialogWrappersTest {
protected:
    DialogAdapterTest() {
        WatchNewWindows(&manager);
        watcher = TsAutoSkin::installed();
    }

    TsAutoSkin* watcher = nullptr;
};

int wrappersOf(const QWidget* widget) {
    return int(widget->findChildren<TsWidgetWrapper*>(QString(), Qt::FindDirectChildrenOnly)
                   .size());
}

TEST_F(DialogAdapterTest, AToolkitDialogsControlsAreWrappedOnceHoweverOftenShown) {
    ASSERT_NE(watcher, nullptr);
    QInputDialog dialog;
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setLabelText(QStringLiteral("Количество:"));
    dialog.show();
    QApplication::processEvents();
    ASSERT_NE(TsSkinProvider::of(&dialog), nullptr);
    auto* spin = dialog.findChild<QSpinBox*>();
    auto* label = dialog.findChild<QLabel*>();
    ASSERT_NE(spin, nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_NE(dynamic_cast<TsSpinBoxWrapper*>(TsWidgetWrapper::of(spin)), nullptr);
    EXPECT_NE(dynamic_cast<TsStaticTextWrapper*>(TsWidgetWrapper::of(label)), nullptr);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor::fromRgb(kLabelText));
    // The edit of the spin box is painted with it, not wrapped of its own.
    EXPECT_EQ(wrappersOf(spin->findChild<QLineEdit*>()), 0);

    for (int time = 0; time < 2; ++time) {
        dialog.hide();
        QApplication::processEvents();
        dialog.show();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&dialog, &activate);
        QApplication::processEvents();
    }
    EXPECT_EQ(wrappersOf(spin), 1);
    EXPECT_EQ(wrappersOf(label), 1);
    int adapters = 0;
    for (const auto& adapter : watcher->tracked()) adapters += adapter && adapter->window() == &dialog;
    EXPECT_EQ(adapters, 1);
    // Framed as an edit (hot or not, as the focus went with the showing).
    const QRgb ring = picture(spin).pixel(0, spin->height() / 2);
    EXPECT_TRUE(ring == kEditRing || ring == kEditHotRing) << std::hex << ring;
}

TEST_F(DialogAdapterTest, ALibrarysDialogIsWrappedButNotItsSkinnedControls) {
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* skinned = new TsEdit(&dialog);
    auto* plain = new QLineEdit(&dialog);
    auto* slider = new QSlider(Qt::Horizontal, &dialog);
    auto* button = new QToolButton(&dialog);
    for (QWidget* widget : {static_cast<QWidget*>(skinned), static_cast<QWidget*>(plain),
                            static_cast<QWidget*>(slider), static_cast<QWidget*>(button)})
        layout->addWidget(widget);
    dialog.show();
    QApplication::processEvents();
    ASSERT_NE(TsSkinProvider::of(&dialog), nullptr);
    // The skinned edit answers the engine itself: no wrapper on it.
    EXPECT_EQ(wrappersOf(skinned), 0);
    EXPECT_EQ(wrappersOf(plain), 1);
    EXPECT_NE(dynamic_cast<TsSliderWrapper*>(TsWidgetWrapper::of(slider)), nullptr);
    EXPECT_NE(dynamic_cast<TsToolButtonWrapper*>(TsWidgetWrapper::of(button)), nullptr);
}

}  // namespace
