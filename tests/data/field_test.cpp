// Column kinds from the store's declared types, and the conversions of values to and from them.

#include "data/field.h"
#include "data/database_error.h"
#include "data/filter.h"
#include "platform/short_date.h"
#include "support/course_fixture.h"

namespace {

TEST(FieldTest, DeclaredTypesGiveTheColumnKindAndSize) {
    EXPECT_EQ(fieldFromDeclaredType("a", "VARCHAR(150)", false).type, FieldType::String);
    EXPECT_EQ(fieldFromDeclaredType("a", "varchar( 1 )", false).size, 1);
    EXPECT_EQ(fieldFromDeclaredType("a", "TEXT", false).size, 0);
    EXPECT_EQ(fieldFromDeclaredType("a", "", false).type, FieldType::String);
    EXPECT_EQ(fieldFromDeclaredType("a", "INTEGER", false).type, FieldType::Integer);
    EXPECT_EQ(fieldFromDeclaredType("a", "INTEGER", true).type, FieldType::AutoInc);
    EXPECT_EQ(fieldFromDeclaredType("a", "bigint", false).type, FieldType::Integer);
    EXPECT_EQ(fieldFromDeclaredType("a", "REAL", false).type, FieldType::Float);
    EXPECT_EQ(fieldFromDeclaredType("a", "DATE", false).type, FieldType::Date);
    EXPECT_EQ(fieldFromDeclaredType("a", "DATETIME", false).type, FieldType::Date);
}

TEST(FieldTest, WrittenValuesTakeTheColumnKindOrAreRefused) {
    const FieldDef integer{"n", FieldType::Integer, 0, 0};
    const FieldDef number{"x", FieldType::Float, 0, 0};
    const FieldDef date{"d", FieldType::Date, 0, 0};
    const FieldDef text{"t", FieldType::String, 3, 0};

    EXPECT_EQ(toFieldValue(integer, QStringLiteral(" 42 ")), QVariant(qlonglong(42)));
    EXPECT_EQ(toFieldValue(integer, 7.0), QVariant(qlonglong(7)));
    EXPECT_THROW(toFieldValue(integer, 7.5), EDatabaseError);
    EXPECT_THROW(toFieldValue(integer, QStringLiteral("4 2")), EDatabaseError);
    EXPECT_FALSE(toFieldValue(integer, QString()).isValid()) << "an empty text is no value";
    EXPECT_FALSE(toFieldValue(integer, QVariant()).isValid());

    EXPECT_DOUBLE_EQ(toFieldValue(number, QStringLiteral("2,5")).toDouble(), 2.5);
    EXPECT_THROW(toFieldValue(number, QStringLiteral("два")), EDatabaseError);

    const QDate day(2026, 5, 31);
    EXPECT_EQ(toFieldValue(date, QStringLiteral("2026-05-31")).toDate(), day);
    EXPECT_EQ(toFieldValue(date, formatShortDate(day)).toDate(), day);
    EXPECT_EQ(toFieldValue(date, QDateTime(day, QTime(13, 5))).toDate(), day);

    EXPECT_EQ(toFieldValue(text, QStringLiteral("абв")).toString(), "абв")
        << "sizes count characters";
    EXPECT_THROW(toFieldValue(text, QStringLiteral("абвг")), EDatabaseError);
    EXPECT_EQ(toFieldValue(text, 12).toString(), "12");
}

TEST(FieldTest, StoredValuesAreReadAsTheColumnKindWithoutLoss) {
    const FieldDef integer{"n", FieldType::Integer, 0, 0};
    const FieldDef date{"d", FieldType::Date, 0, 0};
    EXPECT_EQ(fromStoredValue(integer, QStringLiteral("17")), QVariant(qlonglong(17)));
    EXPECT_EQ(fromStoredValue(integer, QStringLiteral("много")), QVariant(QStringLiteral("много")))
        << "a value that does not fit is kept as stored";
    EXPECT_EQ(fromStoredValue(date, QStringLiteral("2026-12-09 00:00:00")),
              QVariant(QDate(2026, 12, 9)));
    EXPECT_EQ(valueText(date, QDate(2026, 12, 9)), formatShortDate(QDate(2026, 12, 9)));
    EXPECT_EQ(valueInteger(integer, QVariant()), 0);
    EXPECT_THROW(valueInteger(integer, QStringLiteral("много")), EDatabaseError);
    EXPECT_EQ(valueText(integer, QVariant()), QString());
}

TEST(FilterTest, ParsesBothFormsAndRefusesAnythingElse) {
    const QVector<FieldDef> fields{{"Логин_студента", FieldType::String, 0, 0},
                                   {"Количество вопросов", FieldType::Integer, 0, 0},
                                   {"Дата_тестирования", FieldType::Date, 0, 0}};
    const QVector<QVariant> row{QStringLiteral("Д'Артаньян"), qlonglong(40), QDate(2026, 12, 9)};

    EXPECT_TRUE(RowFilter::parse(QStringLiteral("  "), fields).isEmpty());
    EXPECT_TRUE(
        RowFilter::parse(QStringLiteral("Логин_студента='д''артаньян'"), fields).matches(row));
    EXPECT_FALSE(RowFilter::parse(QStringLiteral("Логин_студента='Д''Арт'"), fields).matches(row));
    EXPECT_TRUE(
        RowFilter::parse(QStringLiteral(" логин_студента = 'Д''Артаньян' "), fields).matches(row));
    EXPECT_TRUE(RowFilter::parse(QStringLiteral("[Количество вопросов]=40"), fields).matches(row));
    EXPECT_FALSE(RowFilter::parse(QStringLiteral("[Количество вопросов]=39"), fields).matches(row));
    EXPECT_TRUE(
        RowFilter::parse(QStringLiteral("Дата_тестирования=") + formatShortDate(QDate(2026, 12, 9)),
                         fields)
            .matches(row));
    EXPECT_FALSE(RowFilter::parse(QStringLiteral("Логин_студента='x'"), fields)
                     .matches({QVariant(), 1, QDate()}))
        << "a row without a value never matches";

    for (const char* bad : {"Логин_студента", "Логин_студента='x", "Логин_студента='x' y",
                            "Нет='x'", "[Количество вопросов=1", "Количество вопросов=сорок",
                            "Дата_тестирования=", "Дата_тестирования=31.02.2026x"}) {
        EXPECT_THROW(RowFilter::parse(QString::fromUtf8(bad), fields), EDatabaseError) << bad;
    }
}

}  // namespace
