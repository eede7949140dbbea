#include "skin/core/sSkinText.h"

#include <QStringDecoder>
#include <limits>

#include "skin/core/sSkinError.h"

namespace {

QString decodeText(const QByteArray& bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(view);
}

}  // namespace

TsSkinText::Section& TsSkinText::sectionFor(const QString& name) {
    auto found = sectionIndex_.constFind(name);
    if (found != sectionIndex_.constEnd()) return sections_[*found];
    sectionIndex_.insert(name, int(sections_.size()));
    sections_.append(Section{name, {}, {}});
    return sections_.back();
}

void TsSkinText::addPair(Section& section, const QString& key, const QString& value) {
    const QString folded = keysIgnoreCase_ ? key.toUpper() : key;
    if (!section.index.contains(folded)) section.index.insert(folded, int(section.pairs.size()));
    section.pairs.append(Pair{key, value});
}

TsSkinText TsSkinText::parse(const QByteArray& bytes) {
    TsSkinText result;
    const QString text = decodeText(bytes);
    Section* current = nullptr;
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';')) continue;
        if (line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2) {
            current = &result.sectionFor(line.sliced(1, line.size() - 2).trimmed().toString());
            continue;
        }
        if (!current) continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0) continue;
        const QStringView key = line.first(equals).trimmed();
        if (key.isEmpty()) continue;
        result.addPair(*current, key.toString(), line.sliced(equals + 1).trimmed().toString());
    }
    return result;
}

TsSkinText TsSkinText::parseCommon(const QStringList& lines) {
    TsSkinText result;
    result.keysIgnoreCase_ = true;
    Section* current = nullptr;
    for (const QString& raw : lines) {
        // A list filled from a file may keep the carriage returns of its line breaks.
        QStringView line(raw);
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(u';')) continue;
        if (line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2) {
            current = &result.sectionFor(line.sliced(1, line.size() - 2).toString());
            continue;
        }
        if (!current) continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0) continue;
        result.addPair(*current, line.first(equals).toString(), line.sliced(equals + 1).toString());
    }
    return result;
}

const QString* TsSkinText::value(int section, const QString& key) const {
    if (section < 0 || section >= sections_.size()) return nullptr;
    const Section& s = sections_[section];
    const auto found = s.index.constFind(keysIgnoreCase_ ? key.toUpper() : key);
    return found == s.index.constEnd() ? nullptr : &s.pairs[*found].value;
}

const QString* TsSkinText::value(const QString& section, const QString& key) const {
    return value(findSection(section), key);
}

QString TsSkinText::readString(const QString& section, const QString& key,
                               const QString& fallback) const {
    const QString* found = value(section, key);
    return found ? *found : fallback;
}

bool parseSkinInt(QStringView text, qint32& value) {
    if (text.isEmpty()) return false;
    bool negative = false;
    if (text.front() == u'-' || text.front() == u'+') {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    quint64 result = 0;
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        text = text.sliced(2);
        if (text.size() > 8) return false;
        for (QChar c : text) {
            int digit;
            if (c >= u'0' && c <= u'9')
                digit = c.unicode() - u'0';
            else if (c >= u'a' && c <= u'f')
                digit = c.unicode() - u'a' + 10;
            else if (c >= u'A' && c <= u'F')
                digit = c.unicode() - u'A' + 10;
            else
                return false;
            result = result * 16 + digit;
        }
        const qint32 pattern = qint32(quint32(result));
        value = negative ? qint32(0u - quint32(pattern)) : pattern;
        return true;
    }
    if (text.isEmpty()) return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9') return false;
        result = result * 10 + (c.unicode() - u'0');
        if (result > quint64(std::numeric_limits<qint32>::max()) + 1) return false;
    }
    if (!negative && result > quint64(std::numeric_limits<qint32>::max())) return false;
    value = negative ? qint32(-qint64(result)) : qint32(result);
    return true;
}

qint32 skinIntOr(QStringView text, qint32 fallback) {
    qint32 value;
    return parseSkinInt(text, value) ? value : fallback;
}

qint32 strictSkinInt(QStringView text, const QString& where) {
    qint32 value;
    if (!parseSkinInt(text, value))
        throw ESkinError(
            QStringLiteral("'%1' is not a valid integer value (%2)").arg(text.toString(), where));
    return value;
}

namespace {

bool isDelimiter(QChar c, QStringView delimiters) {
    return delimiters.contains(c);
}

}  // namespace

QList<QStringView> splitWords(QStringView text, QStringView delimiters) {
    QList<QStringView> words;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && isDelimiter(text[i], delimiters))
            ++i;
        const qsizetype start = i;
        while (i < n && !isDelimiter(text[i], delimiters))
            ++i;
        if (i > start) words.append(text.sliced(start, i - start));
    }
    return words;
}

QString nthWord(int n, QStringView text, QStringView delimiters) {
    if (n < 1) return {};
    const QList<QStringView> words = splitWords(text, delimiters);
    return n <= words.size() ? words[n - 1].toString() : QString();
}

int countWords(QStringView text, QStringView delimiters) {
    return int(splitWords(text, delimiters).size());
}
