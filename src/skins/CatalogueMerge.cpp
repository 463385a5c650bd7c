#include "CatalogueMerge.h"
#include "PictureLimit.h"
#include "SkinPackageError.h"
#include "SkinRules.h"
#include "TTable.h"

#include <QHash>
#include <QStringList>

namespace {

// The fields an item brings to its table. Names match without regard to
// case, so the catalogue's "image" lands in the table's "Image".
const QHash<QString, QStringList> &copiedFields()
{
    static const QHash<QString, QStringList> fields = {
        {"Head", {"image", "Name", "Notes", "Left", "Top"}},
        {"Body", {"image", "Name", "Notes", "BodyLeft", "BodyTop", "HeadLeft", "HeadTop"}},
        {"Hand", {"imgHour", "imgMinute", "imgSecond", "SecHandBehind", "MinHandBehind", "HourHandBehind", "Name",
                  "Notes"}},
        {"Clock", {"image", "AnimationImage", "Name", "Left", "Top", "AnimationLeft", "AnimationTop",
                   "AnimationFrames", "AnimationFlag", "AnimationTrans", "Notes"}},
        {"Dial", {"image", "Name", "SecHandOffset", "Notes"}},
    };
    return fields;
}

// Only the header is read: enough to turn away bytes that are no picture
// at all, or one too large to ever draw, without decoding every picture of
// a large package. Returns what is wrong, or an empty string.
QString pictureProblem(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    const QSize size = PictureLimit::declaredSize(bytes);
    if (!size.isValid())
        return "is damaged";
    if (!PictureLimit::fits(size))
        return PictureLimit::tooLargeText(size);
    return {};
}

void checkPicture(const QVariant &value, const QString &field, const QString &item, const QString &packageName)
{
    const QString problem = value.isNull() ? QString() : pictureProblem(value.toByteArray());
    if (!problem.isEmpty())
        throw ESkinPackage(
            QString("Skin package %1: the picture %2 of item '%3' %4").arg(packageName, field, item, problem));
}

} // namespace

void CatalogueMerge::checkPictures(TTable &catalogue, const QString &packageName)
{
    for (catalogue.First(); !catalogue.Eof(); catalogue.Next()) {
        const QString table = SkinRules::targetTable(catalogue.FieldByName("Category").asString());
        if (table.isEmpty())
            continue;
        for (const QString &f : copiedFields()[table])
            if (catalogue.FieldByName(f).DataType() == FieldType::Picture)
                checkPicture(catalogue.FieldByName(f).value(), f, catalogue.FieldByName("Name").asString(),
                             packageName);
    }
}

SkinTargets SkinTargets::of(const SkinSelection &skins)
{
    return {skins[SkinKind::Clock].table, skins[SkinKind::Dial].table, skins[SkinKind::Hand].table,
            skins[SkinKind::Head].table, skins[SkinKind::Body].table};
}

TTable *SkinTargets::table(const QString &name) const
{
    if (name == "Clock")
        return clock;
    if (name == "Dial")
        return dial;
    if (name == "Hand")
        return hand;
    if (name == "Head")
        return head;
    if (name == "Body")
        return body;
    return nullptr;
}

CatalogueMerge::CatalogueMerge(TTable &skins, const SkinTargets &targets, qint32 appVersion)
    : m_skins(skins), m_targets(targets), m_appVersion(appVersion)
{
}

MergeResult CatalogueMerge::run()
{
    MergeResult result;
    if (m_skins.RecordCount() == 0)
        return result;
    TTable *all[] = {m_targets.clock, m_targets.dial, m_targets.hand, m_targets.head, m_targets.body};
    // Each table goes back to its record after every item: the clock keeps
    // reading its current records while a question waits for an answer.
    QString standing[5];
    for (int i = 0; i < 5; ++i) {
        all[i]->DisableControls();
        if (all[i]->RecordCount() > 0)
            standing[i] = all[i]->FieldByName("Name").asString();
    }
    auto restore = [&] {
        for (int i = 0; i < 5; ++i) {
            if (!standing[i].isNull() && all[i]->Active())
                all[i]->FindKey(standing[i]);
            all[i]->EnableControls();
        }
    };
    try {
        // One commit for the whole package instead of one per item.
        TTable::transaction({m_targets.clock, m_targets.dial, m_targets.hand, m_targets.head, m_targets.body}, [&] {
            for (m_skins.First(); !m_skins.Eof(); m_skins.Next()) {
                if (m_skins.FieldByName("Version").asInteger() > m_appVersion) {
                    if (!continueNewer || !continueNewer()) {
                        result.stopped = true;
                        break;
                    }
                }
                TTable *target = m_targets.table(SkinRules::targetTable(m_skins.FieldByName("Category").asString()));
                if (!target) {
                    ++result.ignored;
                    continue;
                }
                mergeItem(*target, result);
                const int i = int(std::find(std::begin(all), std::end(all), target) - std::begin(all));
                if (!standing[i].isNull())
                    target->FindKey(standing[i]);
            }
        });
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return result;
}

void CatalogueMerge::mergeItem(TTable &target, MergeResult &result)
{
    const QString name = m_skins.FieldByName("Name").asString();
    // Names are keys compared byte for byte: "Cowboy" and "cowboy" are two items.
    if (target.FindKey(name)) {
        ++result.skipped;
        return;
    }
    const QStringList &fields = copiedFields()[target.TableName()];
    target.Append();
    for (const QString &f : fields) {
        const TField from = m_skins.FieldByName(f);
        TField to = target.FieldByName(f);
        switch (to.DataType()) {
        case FieldType::Picture: {
            const QVariant v = from.value();
            try {
                checkPicture(v, f, name, packageName);
            } catch (...) {
                target.Cancel();
                throw;
            }
            to.setValue(v);
            break;
        }
        // Typed copies: a catalogue from outside must not put text into a
        // number field or a number into a name.
        case FieldType::Integer: to.setAsInteger(from.asInteger()); break;
        case FieldType::Boolean: to.setAsBoolean(from.asBoolean()); break;
        default: to.setAsString(from.asString()); break;
        }
    }
    target.Post();
    ++result.added;
}
