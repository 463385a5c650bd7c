#pragma once
#include "TableSchema.h"

#include <QImage>
#include <QString>
#include <QVariant>

class TTable;

// A field of a table's current record (or of the record being edited).
// Conversions follow the field's type; a null field reads as empty, 0,
// false or 0.0.
class TField
{
public:
    TField(TTable *table, int index) : m_table(table), m_index(index) {}

    QString FieldName() const;
    FieldType DataType() const;
    bool IsNull() const;
    void Clear();

    QString asString() const;
    void setAsString(const QString &value);
    qint32 asInteger() const;
    void setAsInteger(qint32 value);
    bool asBoolean() const;
    void setAsBoolean(bool value);
    double asDateTime() const;
    void setAsDateTime(double value);
    // Pictures are stored losslessly (PNG) and come back pixel for pixel.
    // A picture beyond PictureLimit is neither read nor stored.
    QImage asPicture() const;
    void setAsPicture(const QImage &picture);
    // Generic value: the stored representation (pictures as their bytes), so
    // copying value() from one table to another is exact.
    QVariant value() const;
    void setValue(const QVariant &value);

    // The conversions above, for values read in bulk
    // (TTable::columnValues).
    static bool booleanOf(const QVariant &stored, FieldType type);
    static double dateTimeOf(const QVariant &stored);
    // The picture stored as `bytes` (not empty), checked as asPicture checks
    // it; `name` says whose picture it is in the errors thrown.
    static QImage decodePicture(const QByteArray &bytes, const QString &name);

private:
    QString pictureName() const; // "The picture in field 'X' of table T (file)"

    TTable *m_table;
    int m_index;
};
