#include "help/textdecoding.h"

#include <QStringDecoder>

#include <optional>

using namespace Qt::StringLiterals;

namespace morvane::chm {

namespace {

constexpr qsizetype kDeclarationWindow = 4096;

bool isNameByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
           c == ':';
}

// The charset token that follows "charset" in text already lower-cased.
QByteArray charsetAfter(const QByteArray& lower, qsizetype at)
{
    qsizetype i = at + 7; // past "charset"
    while (i < lower.size() &&
           (lower[i] == ' ' || lower[i] == '\t' || lower[i] == '\n' || lower[i] == '\r'))
        ++i;
    if (i < lower.size() && lower[i] == '=')
        ++i;
    while (i < lower.size() && (lower[i] == ' ' || lower[i] == '"' || lower[i] == '\''))
        ++i;
    const qsizetype begin = i;
    while (i < lower.size() && i - begin < 40 && isNameByte(lower[i]))
        ++i;
    return lower.mid(begin, i - begin);
}

// Maps the names Japanese pages use for their code page onto the one decoder that reads them
// all: pages labelled Shift_JIS are in practice written in CP932, its Windows superset.
QByteArray canonicalName(const QByteArray& name)
{
    static const QByteArrayView japanese[] = {"shift_jis", "shift-jis",   "sjis",
                                              "x-sjis",    "ms_kanji",    "cp932",
                                              "ms932",     "windows-31j", "csshiftjis"};
    for (QByteArrayView alias : japanese) {
        if (name == alias)
            return "windows-31j";
    }
    if (name == "utf8")
        return "utf-8";
    return name;
}

std::optional<QString> decodeWith(const QByteArray& name, QByteArrayView bytes)
{
    QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    return decoder.decode(bytes);
}

} // namespace

QByteArray declaredCharset(QByteArrayView bytes)
{
    const QByteArray lower =
        bytes.first(std::min(bytes.size(), kDeclarationWindow)).toByteArray().toLower();
    if (lower.startsWith("@charset"))
        return charsetAfter(lower, 1);
    qsizetype meta = lower.indexOf("<meta");
    while (meta >= 0) {
        const qsizetype close = lower.indexOf('>', meta);
        if (close < 0)
            break;
        const qsizetype charset = lower.indexOf("charset", meta);
        if (charset >= 0 && charset < close) {
            const QByteArray name = charsetAfter(lower, charset);
            if (!name.isEmpty())
                return name;
        }
        meta = lower.indexOf("<meta", close);
    }
    return {};
}

QString decodeHelpText(QByteArrayView bytes, quint32 languageId)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.sliced(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringDecoder::Utf16, QStringDecoder::Flag::Stateless);
        return utf16.decode(bytes); // the decoder reads and drops the byte-order mark
    }
    const QByteArray declared = canonicalName(declaredCharset(bytes));
    if (!declared.isEmpty()) {
        if (auto text = decodeWith(declared, bytes))
            return *text;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    if ((languageId & 0x3ff) == (kJapaneseLanguageId & 0x3ff)) {
        // Without ICU Qt has no CP932 decoder; UTF-8 with replacement characters then keeps at
        // least the ASCII parts readable.
        if (auto japanese = decodeWith("windows-31j", bytes))
            return *japanese;
        return text;
    }
    return QString::fromLatin1(bytes);
}

} // namespace morvane::chm
