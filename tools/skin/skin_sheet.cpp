#include "skin_sheet.h"

#include <QFileInfo>
#include <QPainter>
#include <algorithm>

#include "platform/message_box.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinError.h"
#include "skin/core/sSkinManager.h"

namespace {

constexpr int kCellWidth = 136;
constexpr int kCellHeight = 56;
constexpr int kLabelHeight = 16;
constexpr int kGap = 8;

// How many states of a section are worth showing: its state count, at least one; states
// beyond the hot one look like it.
int shownStates(const TsGeneralData& section) {
    return std::clamp(section.States, 1, 4);
}

}  // namespace

Bitmap32 renderSection(const TsSkinManager& manager, const QString& section, int state, QSize size,
                       TColor parentColour) {
    const int index = manager.FindSection(section);
    if (index < 0) throw ESkinError(QStringLiteral("the skin has no section %1").arg(section));
    checkBitmapSize(size.width(), size.height(), QStringLiteral("the picture"));
    Bitmap32 target = CreateBitmap32(size.width(), size.height());
    if (parentColour != clKey) FillRect32(target, target.rect(), parentColour);
    TsSectionPaint paint;
    paint.SectionIndex = index;
    paint.SectionName = section;
    paint.Parent = MakeCacheInfo(parentColour);
    paint.Manager = &manager;
    paint.Area = target.rect();
    paint.State = state;
    PaintSection(target, paint);
    return target;
}

Bitmap32 renderContactSheet(const TsSkinManager& manager) {
    const TsGeneralDataArray& sections = manager.sections();
    int columns = 1;
    for (const TsGeneralData& section : sections)
        columns = std::max(columns, shownStates(section));
    const int rowHeight = kCellHeight + kLabelHeight + kGap;
    const int width = kGap + columns * (kCellWidth + kGap);
    const int height = kGap + int(sections.size()) * rowHeight;
    Bitmap32 sheet = CreateBitmap32(width, std::max(height, kGap + 1));
    const TColor formColour = manager.FormColor();
    FillRect32(sheet, sheet.rect(), formColour);

    QImage canvas = sheet.image();
    QPainter painter(&canvas);
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    for (qsizetype i = 0; i < sections.size(); ++i) {
        const TsGeneralData& section = sections[i];
        const int top = kGap + int(i) * rowHeight;
        for (int state = 0; state < shownStates(section); ++state) {
            const QRect cell(kGap + state * (kCellWidth + kGap), top, kCellWidth, kCellHeight);
            TsSectionPaint paint;
            paint.SectionIndex = int(i);
            paint.SectionName = section.ClassName;
            paint.Parent = MakeCacheInfo(&sheet, QPoint(0, 0));
            paint.Manager = &manager;
            paint.Area = cell;
            paint.State = state;
            PaintSection(sheet, paint);
            WriteSectionText(painter, QStringLiteral("Aa Бб"), true, &manager, state, int(i),
                             Qt::AlignCenter, cell);
            painter.setPen(
                ToQColor(manager.GlobalFontColor() == clKey ? 0 : manager.GlobalFontColor()));
            painter.drawText(QRect(cell.left(), cell.bottom() + 1, kCellWidth, kLabelHeight),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("%1 %2").arg(section.ClassName).arg(state));
        }
    }
    painter.end();
    return sheet;
}

void loadSkinInto(TsSkinManager& manager, const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw ESkinError(QStringLiteral("%1 is neither a skin folder nor a packed skin").arg(path));
    MessageBoxRecorder boxes;
    manager.setSkinDirectory(info.absolutePath());
    manager.setSkinName(info.isDir() ? info.fileName() : info.completeBaseName());
    if (!boxes.texts().isEmpty()) throw ESkinError(boxes.texts().constLast());
    if (manager.sections().isEmpty())
        throw ESkinError(QStringLiteral("%1 holds no skin sections").arg(path));
}
