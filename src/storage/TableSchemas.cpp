#include "TableSchema.h"
#include "TableError.h"
#include "SqliteDb.h"

#include <QFile>

namespace {

using F = FieldType;

QVector<TableSchema> makeSchemas()
{
    const FieldDef name{"Name", F::String}, notes{"Notes", F::String};
    return {
        {"Clock", "Name", {name, notes, {"Image", F::Picture}, {"Left", F::Integer}, {"Top", F::Integer},
                           {"AnimationImage", F::Picture}, {"AnimationFrames", F::Integer},
                           {"AnimationLeft", F::Integer}, {"AnimationTop", F::Integer},
                           {"AnimationFlag", F::Boolean}, {"AnimationTrans", F::Boolean}}},
        {"Dial", "Name", {name, notes, {"Image", F::Picture}, {"SecHandOffset", F::Integer}}},
        {"Hand", "Name", {name, notes, {"imgHour", F::Picture}, {"imgMinute", F::Picture},
                          {"imgSecond", F::Picture}, {"MinHandBehind", F::Boolean},
                          {"SecHandBehind", F::Boolean}, {"HourHandBehind", F::Boolean}}},
        {"Body", "Name", {name, notes, {"Image", F::Picture}, {"BodyLeft", F::Integer}, {"BodyTop", F::Integer},
                          {"HeadLeft", F::Integer}, {"HeadTop", F::Integer}}},
        {"Head", "Name", {name, notes, {"Image", F::Picture}, {"Left", F::Integer}, {"Top", F::Integer}}},
        {"Alarm", "", {{"Title", F::String}, {"Memo", F::Memo}, {"Type", F::String}, {"TypeIndex", F::Integer},
                       {"Date", F::DateTime}, {"Time", F::DateTime}, {"Sound", F::String},
                       {"Activated", F::Boolean}, {"Loop", F::Boolean}}},
        {"Alarm2", "", {{"Title", F::String}, {"Type", F::String}, {"TypeIndex", F::Integer},
                        {"Date", F::DateTime}, {"Time", F::DateTime}, {"Sound", F::String},
                        {"Activated", F::Boolean}, {"Loop", F::Boolean}}},
        {"Skins", "", {{"Category", F::String}, {"Version", F::Integer}, name, notes, {"image", F::Picture},
                       {"AnimationImage", F::Picture}, {"imgHour", F::Picture}, {"imgMinute", F::Picture},
                       {"imgSecond", F::Picture}, {"Left", F::Integer}, {"Top", F::Integer},
                       {"BodyLeft", F::Integer}, {"BodyTop", F::Integer}, {"HeadLeft", F::Integer},
                       {"HeadTop", F::Integer}, {"SecHandOffset", F::Integer}, {"SecHandBehind", F::Boolean},
                       {"MinHandBehind", F::Boolean}, {"HourHandBehind", F::Boolean},
                       {"AnimationLeft", F::Integer}, {"AnimationTop", F::Integer},
                       {"AnimationFrames", F::Integer}, {"AnimationFlag", F::Boolean},
                       {"AnimationTrans", F::Boolean}}},
        {"Product", "", {{"Title", F::String}, {"Copyright", F::String}, {"Copyright2", F::String},
                         {"Website", F::String}, {"WebURL2", F::String}, {"WebName2", F::String},
                         {"Download", F::String}, {"Image", F::Picture}}},
        {"Time", "", {{"TimeServer", F::String}}},
    };
}

const char *columnAffinity(FieldType t)
{
    switch (t) {
    case F::String:
    case F::Memo: return "TEXT";
    case F::Integer:
    case F::Boolean: return "INTEGER";
    case F::DateTime: return "REAL";
    case F::Picture: return "BLOB";
    }
    return "BLOB";
}

} // namespace

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case F::String: return "string";
    case F::Integer: return "integer";
    case F::Boolean: return "boolean";
    case F::DateTime: return "datetime";
    case F::Picture: return "picture";
    case F::Memo: return "memo";
    }
    return {};
}

bool fieldTypeFromName(const QString &name, FieldType *type)
{
    for (F t : {F::String, F::Integer, F::Boolean, F::DateTime, F::Picture, F::Memo}) {
        if (fieldTypeName(t) == name) {
            *type = t;
            return true;
        }
    }
    return false;
}

const QVector<TableSchema> &standardSchemas()
{
    static const QVector<TableSchema> schemas = makeSchemas();
    return schemas;
}

const TableSchema &standardSchema(const QString &tableName)
{
    for (const TableSchema &s : standardSchemas())
        if (s.name.compare(tableName, Qt::CaseInsensitive) == 0)
            return s;
    throw ETableError(QString("There is no table named '%1'").arg(tableName));
}

void createTable(const QString &folder, const TableSchema &schema)
{
    const QString path = folder + schema.name + ".db";
    QFile::remove(path);
    SqliteDb db(path, SqliteDb::Create);
    db.exec("PRAGMA journal_mode=DELETE");
    db.exec("BEGIN");
    db.exec("CREATE TABLE zindle_table(format INTEGER NOT NULL, name TEXT NOT NULL, key_field TEXT NOT NULL)");
    db.exec("CREATE TABLE zindle_fields(pos INTEGER PRIMARY KEY, name TEXT NOT NULL, type TEXT NOT NULL)");
    {
        SqliteStmt st(db, "INSERT INTO zindle_table VALUES(1, ?, ?)");
        st.bind(1, schema.name);
        st.bind(2, schema.keyField);
        st.step();
    }
    QString columns = "id INTEGER PRIMARY KEY";
    for (int i = 0; i < schema.fields.size(); ++i) {
        const FieldDef &f = schema.fields[i];
        SqliteStmt st(db, "INSERT INTO zindle_fields VALUES(?, ?, ?)");
        st.bind(1, i);
        st.bind(2, f.name);
        st.bind(3, fieldTypeName(f.type));
        st.step();
        columns += QString(", \"%1\" %2").arg(f.name, columnAffinity(f.type));
        if (f.name == schema.keyField)
            columns += " NOT NULL DEFAULT ''";
    }
    db.exec(QString("CREATE TABLE data(%1)").arg(columns));
    if (!schema.keyField.isEmpty())
        db.exec(QString("CREATE UNIQUE INDEX data_key ON data(\"%1\" COLLATE BINARY)").arg(schema.keyField));
    db.exec("COMMIT");
}
