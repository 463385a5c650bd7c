#include "TField.h"
#include "PictureLimit.h"
#include "PicturePrefetch.h"
#include "PngPicture.h"
#include "TTable.h"
#include "TableError.h"

#include <QBuffer>
#include <QImageWriter>

QString TField::FieldName() const { return m_table->m_fields[m_index].name; }
FieldType TField::DataType() const { return m_table->fieldType(m_index); }
bool TField::IsNull() const { return m_table->fieldValue(m_index).isNull(); }
void TField::Clear() { m_table->setFieldValue(m_index, QVariant()); }
QVariant TField::value() const { return m_table->fieldValue(m_index); }

void TField::setValue(const QVariant &value)
{
    if (value.isNull() || !value.isValid()) {
        Clear();
        return;
    }
    switch (DataType()) {
    case FieldType::String:
    case FieldType::Memo: setAsString(value.toString()); break;
    case FieldType::Integer: setAsInteger(value.toInt()); break;
    case FieldType::Boolean: setAsBoolean(value.toBool()); break;
    case FieldType::DateTime: setAsDateTime(value.toDouble()); break;
    case FieldType::Picture: m_table->setFieldValue(m_index, value.toByteArray()); break;
    }
}

QString TField::asString() const
{
    const QVariant v = value();
    if (v.isNull())
        return {};
    switch (DataType()) {
    case FieldType::Boolean: return v.toLongLong() ? "True" : "False";
    case FieldType::Picture: return "(picture)";
    default: return v.toString();
    }
}

void TField::setAsString(const QString &value)
{
    switch (DataType()) {
    case FieldType::String:
    case FieldType::Memo: m_table->setFieldValue(m_index, value); return;
    case FieldType::Integer:
    case FieldType::Boolean:
    case FieldType::DateTime: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok)
            throw ETableError(QString("'%1' is not a valid value for field '%2'").arg(value, FieldName()));
        setValue(d);
        return;
    }
    case FieldType::Picture:
        throw ETableError(QString("Field '%1' holds a picture, not text").arg(FieldName()));
    }
}

qint32 TField::asInteger() const
{
    const QVariant v = value();
    if (v.isNull())
        return 0;
    if (DataType() == FieldType::String || DataType() == FieldType::Memo) {
        bool ok = false;
        const int i = v.toString().trimmed().toInt(&ok);
        if (!ok)
            throw ETableError(QString("'%1' is not a valid integer value").arg(v.toString()));
        return i;
    }
    if (DataType() == FieldType::Picture)
        throw ETableError(QString("Field '%1' holds a picture, not a number").arg(FieldName()));
    return qint32(v.toLongLong());
}

void TField::setAsInteger(qint32 value)
{
    if (DataType() == FieldType::String || DataType() == FieldType::Memo)
        m_table->setFieldValue(m_index, QString::number(value));
    else if (DataType() == FieldType::DateTime)
        m_table->setFieldValue(m_index, double(value));
    else if (DataType() == FieldType::Boolean)
        m_table->setFieldValue(m_index, qint64(value != 0));
    else if (DataType() == FieldType::Integer)
        m_table->setFieldValue(m_index, qint64(value));
    else
        throw ETableError(QString("Field '%1' holds a picture, not a number").arg(FieldName()));
}

bool TField::asBoolean() const { return booleanOf(value(), DataType()); }

bool TField::booleanOf(const QVariant &v, FieldType type)
{
    if (v.isNull())
        return false;
    if (type == FieldType::String || type == FieldType::Memo)
        return v.toString().compare("True", Qt::CaseInsensitive) == 0;
    return v.toDouble() != 0;
}

void TField::setAsBoolean(bool value)
{
    if (DataType() == FieldType::String || DataType() == FieldType::Memo)
        m_table->setFieldValue(m_index, value ? QString("True") : QString("False"));
    else
        setAsInteger(value ? 1 : 0);
}

double TField::asDateTime() const
{
    const QVariant v = value();
    if (!v.isNull() && DataType() == FieldType::Picture)
        throw ETableError(QString("Field '%1' holds a picture, not a date").arg(FieldName()));
    return dateTimeOf(v);
}

double TField::dateTimeOf(const QVariant &v) { return v.isNull() ? 0.0 : v.toDouble(); }

void TField::setAsDateTime(double value)
{
    if (DataType() == FieldType::Picture)
        throw ETableError(QString("Field '%1' holds a picture, not a date").arg(FieldName()));
    if (DataType() == FieldType::DateTime)
        m_table->setFieldValue(m_index, value);
    else
        setValue(value);
}

QString TField::pictureName() const
{
    return QString("The picture in field '%1' of table %2 (%3)")
        .arg(FieldName(), m_table->TableName(), m_table->FileName());
}

QImage TField::asPicture() const
{
    if (DataType() != FieldType::Picture)
        throw ETableError(QString("Field '%1' is not a picture").arg(FieldName()));
    const QByteArray bytes = value().toByteArray();
    if (bytes.isEmpty())
        return {};
    if (std::optional<QImage> decoded = PicturePrefetch::take(bytes))
        return *decoded;
    return decodePicture(bytes, pictureName());
}

QImage TField::decodePicture(const QByteArray &bytes, const QString &name)
{
    PngPicture png(bytes);
    // The header's size is checked before anything is decoded.
    const QSize declared = png.size();
    if (declared.isValid() && !PictureLimit::fits(declared))
        throw ETableError(name + " " + PictureLimit::tooLargeText(declared));
    // Should a header not tell, decoding still stops short of gigabytes:
    // PngPicture keeps to Qt's reader's allocation limit (256 MB, never
    // changed here; setting it would race with a decoding thread).
    QImage image = png.read();
    if (image.isNull())
        throw ETableError(name + " is damaged");
    if (!PictureLimit::fits(image.size()))
        throw ETableError(name + " " + PictureLimit::tooLargeText(image.size()));
    return image;
}

void TField::setAsPicture(const QImage &picture)
{
    if (DataType() != FieldType::Picture)
        throw ETableError(QString("Field '%1' is not a picture").arg(FieldName()));
    if (picture.isNull()) {
        Clear();
        return;
    }
    // What could not be read back is not stored.
    if (!PictureLimit::fits(picture.size()))
        throw ETableError(QString("Cannot store the picture in field '%1': it ").arg(FieldName())
                          + PictureLimit::tooLargeText(picture.size()));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Qt's default compression: its scale runs to 100, so a small number
    // stores the pixels uncompressed, and every start reads them all.
    QImageWriter writer(&buffer, "png");
    if (!writer.write(picture))
        throw ETableError(QString("Cannot store the picture in field '%1'").arg(FieldName()));
    m_table->setFieldValue(m_index, bytes);
}
