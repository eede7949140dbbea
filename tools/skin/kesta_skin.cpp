// kesta-skin: a command-line tool for skin authors.
//
//   kesta-skin list DIR           the skins in DIR, one name a line (as the program lists them)
//   kesta-skin dump SKIN          the loaded skin as JSON on standard output
//   kesta-skin pack DIR FILE      packs the skin folder DIR into the packed skin FILE
//   kesta-skin unpack FILE DIR    writes the members of the packed skin FILE into DIR
//   kesta-skin render SKIN SECTION STATE WIDTHxHEIGHT OUT.png [--parent COLOR]
//                                 paints one section in one state; COLOR (an integer in the
//                                 skin's colour layout, red in the lowest byte) is the fill
//                                 colour of a parent whose picture is not known
//   kesta-skin sheet SKIN OUT.png every section in each of its states on one sheet
//
// SKIN is a skin folder (holding Options.dat) or a packed skin file. Errors go to standard
// error and end the tool with a non-zero exit code.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <optional>

#include "platform/kesta_error.h"
#include "skin/core/sPackedSkin.h"
#include "skin/core/sSkinError.h"
#include "skin/core/sSkinLoader.h"
#include "skin/core/sSkinManager.h"
#include "skin_sheet.h"

namespace {

const QString kOptions = QStringLiteral("Options.dat");

int usage() {
    std::fprintf(
        stderr,
        "usage: kesta-skin list DIR\n"
        "       kesta-skin dump SKIN\n"
        "       kesta-skin pack DIR FILE\n"
        "       kesta-skin unpack FILE DIR\n"
        "       kesta-skin render SKIN SECTION STATE WIDTHxHEIGHT OUT.png [--parent COLOR]\n"
        "       kesta-skin sheet SKIN OUT.png\n");
    return 2;
}

void print(const QByteArray& text) {
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
}

QJsonArray rectArray(qint32 left, qint32 top, qint32 right, qint32 bottom) {
    return QJsonArray{left, top, right, bottom};
}

QJsonArray colours(const std::array<TColor, 5>& values) {
    QJsonArray result;
    for (TColor c : values)
        result.append(c);
    return result;
}

QJsonObject stateJson(const TsGenState& state) {
    QJsonArray pieces;
    for (const TsGradPiece& piece : state.GradientArray)
        pieces.append(QJsonObject{{"color1", piece.Color1},
                                  {"color2", piece.Color2},
                                  {"percent", piece.Percent},
                                  {"mode", piece.Mode}});
    return QJsonObject{{"color", state.Color},
                       {"fontColors", colours(state.FontColor)},
                       {"transparency", state.Transparency},
                       {"gradientPercent", state.GradientPercent},
                       {"gradient", pieces},
                       {"imagePercent", state.ImagePercent}};
}

QJsonObject modelJson(const TsSkinModel& model) {
    QJsonArray sections;
    for (const TsGeneralData& d : model.Sections) {
        sections.append(QJsonObject{
            {"name", d.ClassName},
            {"parent", d.ParentClass},
            {"stateCount", d.States},
            {"states", QJsonArray{stateJson(d.Props[0]), stateJson(d.Props[1])}},
            {"borderIndex", d.BorderIndex},
            {"cornerIndexes",
             QJsonArray{d.ImgCorners[0], d.ImgCorners[1], d.ImgCorners[2], d.ImgCorners[3]}}});
    }
    QJsonArray images;
    for (const TsMaskData& item : model.Images) {
        images.append(
            QJsonObject{{"section", item.ClassName},
                        {"key", item.PropertyName},
                        {"rect", rectArray(item.R.Left, item.R.Top, item.R.Right, item.R.Bottom)},
                        {"frames", item.ImageCount},
                        {"maskType", item.MaskType},
                        {"borderWidth", item.BorderWidth},
                        {"drawMode", item.DrawMode},
                        {"kind", item.ImgType},
                        {"margins", rectArray(item.WL, item.WT, item.WR, item.WB)},
                        {"ownImage", item.Bmp != nullptr}});
    }
    QJsonArray textures;
    for (const TsPatternData& pattern : model.Patterns) {
        textures.append(QJsonObject{{"section", pattern.ClassName},
                                    {"key", pattern.PropertyName},
                                    {"width", pattern.Img->width()},
                                    {"height", pattern.Img->height()}});
    }
    QJsonObject common;
    model.Common.forEach([&common](const QString& name, int index) { common[name] = index; });
    return QJsonObject{
        {"version", model.SkinData.Version},
        {"author", model.SkinData.Author},
        {"description", model.SkinData.Description},
        {"masterBitmap", QJsonArray{model.MasterBitmap.width(), model.MasterBitmap.height()}},
        {"sections", sections},
        {"images", images},
        {"largeTextures", textures},
        {"commonIndexes", common}};
}

QByteArray readWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ESkinError(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    return file.readAll();
}

int list(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        throw ESkinError(QStringLiteral("%1 is not a folder").arg(folder));
    TsSkinManager manager;
    manager.setSkinDirectory(QFileInfo(folder).absoluteFilePath());
    QStringList names;
    manager.ListSkins(names, skAll);
    for (const QString& name : names)
        print(name.toUtf8() + '\n');
    return 0;
}

int dump(const QString& skin) {
    const QFileInfo info(skin);
    TsSkinSource source;
    std::optional<TsPackedSkin> container;
    if (info.isDir()) {
        const QString description = info.absoluteFilePath() + u'/' + kOptions;
        if (!QFileInfo(description).isFile())
            throw ESkinError(QStringLiteral("%1 holds no %2").arg(skin, kOptions));
        source.text = TsSkinText::parse(readWhole(description));
        source.skinPath = info.absoluteFilePath() + u'/';
    } else if (info.isFile()) {
        container = TsPackedSkin::readFile(info.absoluteFilePath());
        if (const TsPackedSkin::Member* options = container->options())
            source.text = TsSkinText::parse(options->data);
        source.container = &*container;
        source.skinPath = info.absolutePath() + u'/';
    } else {
        throw ESkinError(QStringLiteral("%1 is neither a skin folder nor a packed skin").arg(skin));
    }
    TsSkinModel model;
    loadSkin(source, model);
    print(QJsonDocument(modelJson(model)).toJson(QJsonDocument::Indented));
    return 0;
}

int pack(const QString& folder, const QString& file) {
    const QDir dir(folder);
    if (!QFileInfo(dir.filePath(kOptions)).isFile())
        throw ESkinError(QStringLiteral("%1 holds no %2").arg(folder, kOptions));
    TsPackedSkin container;
    container.add(kOptions, readWhole(dir.filePath(kOptions)));
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        if (name == kOptions) continue;
        if (std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() > 0xFF; }))
            throw ESkinError(QStringLiteral("%1: member names are one byte a character").arg(name));
        container.add(name, readWhole(dir.filePath(name)));
    }
    container.writeFile(file);
    return 0;
}

// A member name must stay a plain file name inside the folder it is written to.
void checkMemberName(const QString& name) {
    const bool plain = !name.isEmpty() && name != QLatin1String(".") &&
                       name != QLatin1String("..") && !name.contains(u'/') &&
                       !name.contains(u'\\') && !name.contains(u':') &&
                       std::none_of(name.begin(), name.end(), [](QChar c) { return c < u' '; });
    if (!plain)
        throw ESkinError(
            QStringLiteral("the member name \"%1\" is not a plain file name").arg(name));
}

int unpack(const QString& file, const QString& folder) {
    const TsPackedSkin container = TsPackedSkin::readFile(file);
    QSet<QString> seen;
    for (const TsPackedSkin::Member& member : container.members()) {
        checkMemberName(member.name);
        if (seen.contains(member.name.toUpper()))
            throw ESkinError(QStringLiteral("two members are named %1").arg(member.name));
        seen.insert(member.name.toUpper());
    }
    if (!QDir().mkpath(folder)) throw ESkinError(QStringLiteral("cannot create %1").arg(folder));
    for (const TsPackedSkin::Member& member : container.members()) {
        QSaveFile out(QDir(folder).filePath(member.name));
        if (!out.open(QIODevice::WriteOnly) || out.write(member.data) < 0 || !out.commit())
            throw ESkinError(
                QStringLiteral("cannot write %1: %2").arg(out.fileName(), out.errorString()));
    }
    return 0;
}

int number(const QString& text, const char* what) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 0);
    if (!ok || value < INT_MIN || value > UINT_MAX)
        throw ESkinError(QStringLiteral("%1 is not a valid %2").arg(text, QLatin1String(what)));
    return int(qint64(value) & 0xFFFFFFFF);
}

void savePng(const Bitmap32& picture, const QString& file) {
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || !picture.constImage().save(&out, "PNG") || !out.commit())
        throw ESkinError(QStringLiteral("cannot write %1: %2").arg(file, out.errorString()));
}

int render(const QStringList& a) {
    TColor parent = clKey;
    if (a.size() == 9) {
        if (a[7] != QLatin1String("--parent")) return usage();
        parent = number(a[8], "colour");
    } else if (a.size() != 7) {
        return usage();
    }
    const int state = number(a[4], "state");
    const QStringList size = a[5].split(u'x');
    if (size.size() != 2) throw ESkinError(QStringLiteral("%1 is not WIDTHxHEIGHT").arg(a[5]));
    const int width = number(size[0], "width");
    const int height = number(size[1], "height");
    if (width <= 0 || height <= 0)
        throw ESkinError(QStringLiteral("%1 is not a picture size").arg(a[5]));
    TsSkinManager manager;
    loadSkinInto(manager, a[2]);
    savePng(renderSection(manager, a[3], state, QSize(width, height), parent), a[6]);
    return 0;
}

int sheet(const QString& skin, const QString& file) {
    TsSkinManager manager;
    loadSkinInto(manager, skin);
    savePng(renderContactSheet(manager), file);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Dumping needs the platform's colours (for system colours in a skin), painting a whole
    // application for the skin manager and text.
    const bool dumping = argc > 1 && qstrcmp(argv[1], "dump") == 0;
    const bool painting =
        argc > 1 && (qstrcmp(argv[1], "render") == 0 || qstrcmp(argv[1], "sheet") == 0);
    if ((dumping || painting) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application(painting  ? new QApplication(argc, argv)
                                                  : dumping ? new QGuiApplication(argc, argv)
                                                            : new QCoreApplication(argc, argv));
    const QStringList a = QCoreApplication::arguments();
    try {
        if (a.size() == 3 && a[1] == QLatin1String("list")) return list(a[2]);
        if (a.size() == 3 && a[1] == QLatin1String("dump")) return dump(a[2]);
        if (a.size() == 4 && a[1] == QLatin1String("pack")) return pack(a[2], a[3]);
        if (a.size() == 4 && a[1] == QLatin1String("unpack")) return unpack(a[2], a[3]);
        if (a.size() > 1 && a[1] == QLatin1String("render")) return render(a);
        if (a.size() == 4 && a[1] == QLatin1String("sheet")) return sheet(a[2], a[3]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kesta-skin: %s\n", exceptionText(error).toLocal8Bit().constData());
        return 1;
    }
    return usage();
}
