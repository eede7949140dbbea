#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The text of a skin: sections in brackets holding key=value lines, held in memory in file
// order. Section names and keys compare case-sensitively (the skins use capitals), except in
// the manager's common sections, whose keys compare without regard to case.
class TsSkinText {
public:
    // The largest skin text read, from a skin folder or from a packed skin: skin texts are
    // small, and a larger one is not a skin.
    static constexpr qint64 MaxSize = qint64(16) << 20;

    struct Pair {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        QList<Pair> pairs;          // in file order, repeated keys included
        QHash<QString, int> index;  // key (folded when keys ignore case) -> first pair
    };

    // Skin text: lines trimmed; empty lines and lines starting with ";" skipped; "[name]"
    // opens a section (a repeated name continues the earlier one); other lines are
    // key=value pairs with spaces around key and value removed. Lines before the first
    // section and lines without "=" are ignored. UTF-8 when the bytes are UTF-8, else
    // Latin-1.
    static TsSkinText parse(const QByteArray& bytes);
    // The common sections' syntax: lines are not trimmed, a section line starts with "["
    // and ends with "]", a key is everything before the first "=" and keys compare
    // without regard to case.
    static TsSkinText parseCommon(const QStringList& lines);

    bool isEmpty() const { return sections_.isEmpty(); }
    int sectionCount() const { return int(sections_.size()); }
    const Section& section(int index) const { return sections_[index]; }
    // -1 when there is no such section.
    int findSection(const QString& name) const { return sectionIndex_.value(name, -1); }

    // The value of the first pair with that key, or null when the key is absent.
    const QString* value(int section, const QString& key) const;
    const QString* value(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key,
                       const QString& fallback = QString()) const;

private:
    Section& sectionFor(const QString& name);
    void addPair(Section& section, const QString& key, const QString& value);

    QList<Section> sections_;
    QHash<QString, int> sectionIndex_;
    bool keysIgnoreCase_ = false;
};

// Integers as skins write them: decimal with an optional sign, or hexadecimal after "0x" or
// "0X" (up to eight digits, read as a 32-bit pattern, so 0xFFFFFFFF is -1). Nothing else is
// a number: no spaces, no other prefixes, no value outside 32 bits.
bool parseSkinInt(QStringView text, qint32& value);
// The value, or `fallback` when the text is not a number.
qint32 skinIntOr(QStringView text, qint32 fallback);
// The value; a text that is not a number throws ESkinError naming `where`.
qint32 strictSkinInt(QStringView text, const QString& where);

// Words of a text split at any of the delimiter characters; runs of delimiters count as one,
// and delimiters at both ends are ignored.
QString nthWord(int n, QStringView text, QStringView delimiters);  // 1-based; empty if fewer
int countWords(QStringView text, QStringView delimiters);
QList<QStringView> splitWords(QStringView text, QStringView delimiters);
