#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// A packed skin: the skin text and its pictures in one container. Layout, all integers
// 32-bit little-endian: the magic "OVkf", the member count, then for each member the length
// of its name, the name (one byte per character), the size of its data after decompression
// and one complete zlib stream holding the data. The next member starts right after the end
// of the previous stream.
class TsPackedSkin {
public:
    struct Member {
        QString name;
        QByteArray data;
        bool isBitmap = false;  // the name ends in ".BMP", letter case aside
    };

    // Limits that keep a damaged or hostile container from taking the machine's memory.
    static constexpr qint64 MaxFileSize = qint64(256) << 20;
    static constexpr qint64 MaxMemberSize = qint64(128) << 20;
    static constexpr qint64 MaxTotalSize = qint64(512) << 20;

    // Throws ESkinError: "Loaded data is not a packed Orvisk file" for a wrong magic, the
    // decompressor's message for a damaged stream, a read error for a truncated container.
    static TsPackedSkin read(const QByteArray& bytes);
    static TsPackedSkin readFile(const QString& path);

    // The container's bytes; any zlib reads its streams.
    QByteArray write() const;
    void writeFile(const QString& path) const;

    void add(const QString& name, const QByteArray& data);

    const QList<Member>& members() const { return members_; }
    // The member whose name, upper-cased, equals `name` exactly; null when none.
    const Member* findImage(const QString& name) const;
    // The skin text: the member named "Options.dat" in any letter case; null when none.
    const Member* options() const;
    int imageCount() const { return int(members_.size()) - 1; }

private:
    QList<Member> members_;
    QHash<QString, int> byUpperName_;
};
