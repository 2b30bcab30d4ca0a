#include "measure/entry.h"
#include "measure/numbertext.h"

#include <QDate>
#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using namespace morvane;

class tst_NumberText : public QObject {
    Q_OBJECT

    const QLocale jp{QLocale::Japanese, QLocale::Japan};
    const QLocale de{QLocale::German, QLocale::Germany};

private slots:
    void parse_data();
    void parse();
    void typed_data();
    void typed();
    void generalNumber_data();
    void generalNumber();
    void oneDecimal_data();
    void oneDecimal();
    void recordsInEveryLocale_data();
    void recordsInEveryLocale();
};

void tst_NumberText::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("found");

    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("68.5kg") << u"68.5kg"_s << 68.5 << true;
    QTest::newRow("blanks inside ' 6 8 . 5'") << u" 6 8 . 5"_s << 68.5 << true;
    QTest::newRow("tabs and line feeds") << u"\t7\n0"_s << 70.0 << true;
    QTest::newRow("-3") << u"-3"_s << -3.0 << true;
    QTest::newRow("+2") << u"+2"_s << 2.0 << true;
    QTest::newRow("1e2") << u"1e2"_s << 100.0 << true;
    QTest::newRow("1E-1") << u"1E-1"_s << 0.1 << true;
    QTest::newRow("blanks in exponent '1 e + 2'") << u"1 e + 2"_s << 100.0 << true;
    QTest::newRow(".5") << u".5"_s << 0.5 << true;
    QTest::newRow("-.5e1") << u"-.5e1"_s << -5.0 << true;
    QTest::newRow("1.2.3 stops at second point") << u"1.2.3"_s << 1.2 << true;
    QTest::newRow("exponent without digits is not taken") << u"1e"_s << 1.0 << true;
    QTest::newRow("decimal comma stops the number") << u"68,5"_s << 68.0 << true;
    QTest::newRow("carriage return is not a blank") << u"6\r8"_s << 6.0 << true;
    QTest::newRow("0 is a number") << u"0"_s << 0.0 << true;
    QTest::newRow("1e999 overflows") << u"1e999"_s << inf << true;
    QTest::newRow("-1e999 overflows") << u"-1e999"_s << -inf << true;
    QTest::newRow("1e-999 underflows") << u"1e-999"_s << 0.0 << true;
    QTest::newRow("400 digits overflow") << QString(400, u'9') << inf << true;
    QTest::newRow("400 digits after the point underflow")
        << u"0."_s + QString(400, u'0') + u"1"_s << 0.0 << true;
    QTest::newRow("400 digits with a small exponent stay infinite")
        << QString(400, u'1') + u"e-50"_s << inf << true;
    QTest::newRow("abc") << u"abc"_s << 0.0 << false;
    QTest::newRow("empty") << QString() << 0.0 << false;
    QTest::newRow("sign alone") << u"-"_s << 0.0 << false;
    QTest::newRow("point alone") << u"."_s << 0.0 << false;
    QTest::newRow("letters before digits") << u"kg68"_s << 0.0 << false;
    QTest::newRow("full-width digits are not ASCII digits") << u"６８"_s << 0.0 << false;
}

void tst_NumberText::parse()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(bool, found);

    const ParsedNumber n = parseLeadingNumber(text);
    QCOMPARE(n.found, found);
    QCOMPARE(n.value, value);
}

void tst_NumberText::typed_data()
{
    QTest::addColumn<bool>("height"); // else a weight
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("error"); // -1: accepted

    const int none = -1;
    const int noNumber = int(TypedError::NoNumber);
    const int comma = int(TypedError::DecimalComma);
    const int range = int(TypedError::OutOfRange);
    QTest::newRow("weight 68.5") << false << u"68.5"_s << 68.5f << none;
    QTest::newRow("weight with its unit") << false << u"68.5Kg"_s << 68.5f << none;
    QTest::newRow("weight in full-width digits") << false << u"６８．５"_s << 68.5f << none;
    QTest::newRow("weight 1 kg") << false << u"1"_s << 1.0f << none;
    QTest::newRow("weight 1000 kg") << false << u"1000"_s << 1000.0f << none;
    QTest::newRow("weight that is 1000 as stored") << false << u"1000.00001"_s << 1000.0f << none;
    QTest::newRow("weight letters") << false << u"abc"_s << 0.0f << noNumber;
    QTest::newRow("weight blanks only") << false << u"   "_s << 0.0f << noNumber;
    QTest::newRow("weight decimal comma") << false << u"68,5"_s << 0.0f << comma;
    QTest::newRow("weight decimal comma and blank") << false << u" 68, 5"_s << 0.0f << comma;
    QTest::newRow("weight zero") << false << u"0"_s << 0.0f << range;
    QTest::newRow("weight negative") << false << u"-60"_s << 0.0f << range;
    QTest::newRow("weight under 1 kg") << false << u"0.999"_s << 0.0f << range;
    QTest::newRow("weight 1e-8") << false << u"0.00000001"_s << 0.0f << range;
    QTest::newRow("weight 0 as a float") << false << u"1e-50"_s << 0.0f << range;
    QTest::newRow("weight above 1000 kg") << false << u"1000.5"_s << 0.0f << range;
    QTest::newRow("weight overflow") << false << u"1e999"_s << 0.0f << range;
    QTest::newRow("height 1.685") << true << u"1.685"_s << 1.685f << none;
    QTest::newRow("height 0.3") << true << u"0.3"_s << 0.3f << none;
    QTest::newRow("height 3") << true << u"3"_s << 3.0f << none;
    QTest::newRow("height that is 3 as stored") << true << u"3.00000001"_s << 3.0f << none;
    QTest::newRow("height letters") << true << u"abc"_s << 0.0f << noNumber;
    QTest::newRow("height decimal comma") << true << u"1,685"_s << 0.0f << comma;
    QTest::newRow("height 170 typed as metres") << true << u"170"_s << 0.0f << range;
    QTest::newRow("height zero") << true << u"0"_s << 0.0f << range;
    QTest::newRow("height below 0.3 m") << true << u"0.29"_s << 0.0f << range;
    QTest::newRow("height above 3 m") << true << u"3.01"_s << 0.0f << range;
}

void tst_NumberText::typed()
{
    QFETCH(bool, height);
    QFETCH(QString, text);
    QFETCH(float, value);
    QFETCH(int, error);

    const TypedValue typed = checkTypedValue(text, height ? kHeightRange : kWeightRange);
    QCOMPARE(typed.error ? int(*typed.error) : -1, error);
    QCOMPARE(typed.value, value);
}

void tst_NumberText::generalNumber_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("japan");
    QTest::addColumn<QString>("germany");

    QTest::newRow("1.685") << 1.685f << u"1.685"_s << u"1,685"_s;
    QTest::newRow("68.5") << 68.5f << u"68.5"_s << u"68,5"_s;
    QTest::newRow("70 without decimals") << 70.0f << u"70"_s << u"70"_s;
    QTest::newRow("445060") << 445060.0f << u"445060"_s << u"445060"_s;
    QTest::newRow("0.95") << 0.95f << u"0.95"_s << u"0,95"_s;
    QTest::newRow("100.25") << 100.25f << u"100.25"_s << u"100,25"_s;
    QTest::newRow("no group separator") << 1234.5f << u"1234.5"_s << u"1234,5"_s;
    QTest::newRow("seven significant digits") << 62.462946f << u"62.46295"_s << u"62,46295"_s;
    QTest::newRow("large takes an exponent")
        << 12345678.0f << u"1.234568E+07"_s << u"1,234568E+07"_s;
}

void tst_NumberText::generalNumber()
{
    QFETCH(float, value);
    QFETCH(QString, japan);
    QFETCH(QString, germany);
    QCOMPARE(generalNumberText(value, jp), japan);
    QCOMPARE(generalNumberText(value, de), germany);
}

void tst_NumberText::oneDecimal_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("japan");
    QTest::addColumn<QString>("germany");

    QTest::newRow("62.46295") << 62.46295 << u"62.5"_s << u"62,5"_s;
    QTest::newRow("24.1263") << 24.1263 << u"24.1"_s << u"24,1"_s;
    QTest::newRow("integer gets one decimal") << 60.0 << u"60.0"_s << u"60,0"_s;
    QTest::newRow("below one keeps a leading zero") << 0.04 << u"0.0"_s << u"0,0"_s;
    QTest::newRow("negative keeps its sign") << -38.5 << u"-38.5"_s << u"-38,5"_s;
    QTest::newRow("no group separator") << 445060.0 << u"445060.0"_s << u"445060,0"_s;
}

void tst_NumberText::oneDecimal()
{
    QFETCH(double, value);
    QFETCH(QString, japan);
    QFETCH(QString, germany);
    QCOMPARE(oneDecimalText(value, jp), japan);
    QCOMPARE(oneDecimalText(value, de), germany);
}

void tst_NumberText::recordsInEveryLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    for (const char* name : {"ja_JP", "de_DE", "fa_IR", "ar_EG"})
        QTest::newRow(name) << QLocale(QString::fromLatin1(name));
}

void tst_NumberText::recordsInEveryLocale()
{
    QFETCH(QLocale, locale);

    // What the window shows has ASCII digits and reads back through the leading-number parse
    // with the locale's decimal separator as the point, also with an exponent.
    auto readBack = [&](QString text) {
        return parseLeadingNumber(text.replace(locale.decimalPoint(), u"."_s)).value;
    };
    for (const double value : {62.46295, -38.5, 0.04})
        QCOMPARE(readBack(oneDecimalText(value, locale)),
                 QString::number(value, 'f', 1).toDouble());
    for (const float value : {1.685f, 68.5f, 12345678.0f})
        QCOMPARE(float(readBack(generalNumberText(value, locale))), value);
}

QTEST_GUILESS_MAIN(tst_NumberText)
#include "tst_numbertext.moc"
