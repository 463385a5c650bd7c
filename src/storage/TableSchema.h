#pragma once
#include <QString>
#include <QVector>

enum class FieldType { String, Integer, Boolean, DateTime, Picture, Memo };

struct FieldDef
{
    QString name;
    FieldType type;
};

// A table's fields and its primary key. Tables without a key keep their
// records in insertion order.
struct TableSchema
{
    QString name;
    QString keyField;
    QVector<FieldDef> fields;
};

QString fieldTypeName(FieldType type);
bool fieldTypeFromName(const QString &name, FieldType *type);

// The ten tables of the program folder, in the order the main window opens them.
const QVector<TableSchema> &standardSchemas();
const TableSchema &standardSchema(const QString &tableName);

// Creates an empty table file "<folder><name>.db" for the schema. Used by the
// build tool and by tests; the program itself never creates tables.
void createTable(const QString &folder, const TableSchema &schema);
