#include "skin/core/sPackedSkin.h"

#include <zlib.h>
#include <QFile>
#include <QSaveFile>

#include "skin/core/sSkinError.h"
#include "skin/core/sSkinText.h"

namespace {

const QByteArray kMagic = QByteArrayLiteral("OVkf");
const QString kOptions = QStringLiteral("OPTIONS.DAT");
// Deflate cannot expand its input more than about 1032 times.
constexpr qint64 kMaxDeflateRatio = 1032;

[[noreturn]] void readError(const QString& what) {
    throw ESkinError(QStringLiteral("Packed skin: read error (%1)").arg(what));
}

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) {}

    qint64 remaining() const { return bytes_.size() - pos_; }

    quint32 u32(const char* what) {
        if (remaining() < 4) readError(QString::fromLatin1(what));
        const auto* p = reinterpret_cast<const uchar*>(bytes_.constData() + pos_);
        pos_ += 4;
        return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
    }

    QByteArray take(qint64 size, const char* what) {
        if (size > remaining()) readError(QString::fromLatin1(what));
        QByteArray part = bytes_.mid(pos_, size);
        pos_ += size;
        return part;
    }

    // Inflates one zlib stream of exactly `size` bytes and moves past its end.
    QByteArray inflateStream(qint64 size, const QString& member) {
        QByteArray out;
        out.resize(size);
        z_stream z{};
        if (inflateInit(&z) != Z_OK) throw ESkinError(QStringLiteral("zlib cannot start"));
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes_.constData() + pos_));
        z.avail_in = uInt(remaining());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = uInt(size);
        // Once the data is complete, output goes to a spare byte: anything written there
        // means the stream holds more than its size.
        unsigned char spare = 0;
        bool full = size == 0;
        if (full) {
            z.next_out = &spare;
            z.avail_out = 1;
        }
        int result;
        for (;;) {
            result = inflate(&z, Z_NO_FLUSH);
            if (full && z.avail_out == 0) {
                inflateEnd(&z);
                throw ESkinError(
                    QStringLiteral("Packed skin: member %1 holds more than its size of %2")
                        .arg(member)
                        .arg(size));
            }
            if (result != Z_OK) break;
            if (!full && z.avail_out == 0) {
                full = true;
                z.next_out = &spare;
                z.avail_out = 1;
            }
        }
        const QString message = z.msg ? QString::fromLatin1(z.msg) : QString();
        const qint64 produced = qint64(z.total_out);
        const qint64 consumed = qint64(z.total_in);
        inflateEnd(&z);
        if (result == Z_BUF_ERROR && z.avail_in == 0)
            readError(QStringLiteral("member %1 is cut short").arg(member));
        if (result != Z_STREAM_END)
            throw ESkinError(QStringLiteral("Packed skin: member %1: %2")
                                 .arg(member, message.isEmpty() ? zError(result) : message));
        if (produced != size)
            readError(QStringLiteral("member %1 is shorter than its size").arg(member));
        pos_ += consumed;
        return out;
    }

private:
    const QByteArray& bytes_;
    qint64 pos_ = 0;
};

void putU32(QByteArray& out, quint32 value) {
    const char bytes[4] = {char(value & 0xFF), char((value >> 8) & 0xFF),
                           char((value >> 16) & 0xFF), char((value >> 24) & 0xFF)};
    out.append(bytes, 4);
}

QByteArray deflateStream(const QByteArray& data) {
    uLongf length = compressBound(uLong(data.size()));
    QByteArray out;
    out.resize(qsizetype(length));
    const int result =
        compress2(reinterpret_cast<Bytef*>(out.data()), &length,
                  reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size()), 9);
    if (result != Z_OK)
        throw ESkinError(
            QStringLiteral("Packed skin: zlib: %1").arg(QLatin1String(zError(result))));
    out.resize(qsizetype(length));
    return out;
}

}  // namespace

void TsPackedSkin::add(const QString& name, const QByteArray& data) {
    const QString upper = name.toUpper();
    if (!byUpperName_.contains(upper)) byUpperName_.insert(upper, int(members_.size()));
    members_.append(Member{name, data, upper.endsWith(QStringLiteral(".BMP"))});
}

TsPackedSkin TsPackedSkin::read(const QByteArray& bytes) {
    if (!bytes.startsWith(kMagic))
        throw ESkinError(QStringLiteral("Loaded data is not a packed Orvisk file"));
    Reader reader(bytes);
    reader.take(4, "magic");
    const quint32 count = reader.u32("member count");
    TsPackedSkin result;
    qint64 total = 0;
    for (quint32 i = 0; i < count; ++i) {
        const quint32 nameLength = reader.u32("name length");
        const QString name = QString::fromLatin1(reader.take(nameLength, "member name"));
        const quint32 size = reader.u32("member size");
        // The skin text is held to the limit of a skin folder's text, before it is inflated.
        if (name.toUpper() == kOptions && qint64(size) > TsSkinText::MaxSize)
            throw ESkinError(
                QStringLiteral("Packed skin: member %1 is too large for a skin text").arg(name));
        if (qint64(size) > MaxMemberSize || total + size > MaxTotalSize ||
            qint64(size) > reader.remaining() * kMaxDeflateRatio + 64)
            throw ESkinError(
                QStringLiteral("Packed skin: member %1 claims an impossible size of %2")
                    .arg(name)
                    .arg(size));
        total += size;
        result.add(name, reader.inflateStream(size, name));
    }
    return result;
}

TsPackedSkin TsPackedSkin::readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ESkinError(
            QStringLiteral("Cannot open the packed skin %1: %2").arg(path, file.errorString()));
    if (file.size() > MaxFileSize)
        throw ESkinError(QStringLiteral("The packed skin %1 is too large").arg(path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ESkinError(
            QStringLiteral("Cannot read the packed skin %1: %2").arg(path, file.errorString()));
    return read(bytes);
}

QByteArray TsPackedSkin::write() const {
    QByteArray out = kMagic;
    putU32(out, quint32(members_.size()));
    for (const Member& member : members_) {
        const QByteArray name = member.name.toLatin1();
        putU32(out, quint32(name.size()));
        out.append(name);
        putU32(out, quint32(member.data.size()));
        out.append(deflateStream(member.data));
    }
    return out;
}

void TsPackedSkin::writeFile(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(write()) < 0 || !file.commit())
        throw ESkinError(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
}

const TsPackedSkin::Member* TsPackedSkin::findImage(const QString& name) const {
    const auto found = byUpperName_.constFind(name);
    return found == byUpperName_.constEnd() ? nullptr : &members_[*found];
}

const TsPackedSkin::Member* TsPackedSkin::options() const {
    return findImage(kOptions);
}
