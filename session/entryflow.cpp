#include "session/entryflow.h"

#include "measure/arithmetic.h"
#include "measure/goal.h"
#include "measure/numbertext.h"
#include "session/filefollower.h"
#include "session/historymodel.h"
#include "session/session.h"
#include "store/historyentry.h"

using namespace Qt::StringLiterals;

namespace morvane {

EntryFlow::EntryFlow(Session& session)
    : QObject(&session)
    , m_session(session)
{}

void EntryFlow::enter(Entry entry)
{
    const FileFollower::Busy busy(m_session.follower());
    Session& s = m_session;
    const EntryKind& kind = entryKind(entry);
    if (kind.needsHeight && !s.m_measurement.height) {
        // A BMI needs a height: ask for it first.
        enter(Entry::Height);
        if (!s.m_measurement.height)
            return;
    }
    const std::optional<TypedValue> typed = askValue(kind);
    if (!typed)
        return;
    if (const auto error = s.m_files.writeNumber(kind.file.fileName, typed->value)) {
        s.reportWriteError(*error, tr(kind.notSaved));
        return;
    }

    s.m_measurement.*kind.file.value = typed->value;
    s.m_stored.*kind.file.value = typed->value;
    emit s.valueChanged(entry);
    if (kind.meter != MeterAfterEntry::Stays) {
        const AfterEntry after = afterEntry(s.m_measurement, kind.meter);
        s.m_measurement = after.measurement;
        if (after.position)
            emit s.bmiChanged();
        emit s.meterSet(after.position);
    }
    if (kind.notRecorded)
        recordHistoryLine(kind);
}

std::optional<TypedValue> EntryFlow::askValue(const EntryKind& kind)
{
    const QString title = tr(kind.title);
    // The box opens empty; after a Cancel of the large-change question it opens again with
    // what was typed, to be corrected.
    QString typedText;
    for (;;) {
        const std::optional<QString> answer = m_session.m_services.dialogs->inputBox(
            tr(kind.prompt) + tr(kind.example), title, typedText);
        if (!answer)
            return std::nullopt;
        if (answer->isEmpty()) {
            if (kind.removal)
                removeValue(kind);
            return std::nullopt;
        }
        const TypedValue typed = checkTypedValue(*answer, kind.file.range);
        if (typed.error) {
            const char* says = nullptr;
            switch (*typed.error) {
            case TypedError::NoNumber:
                says = kind.notANumber;
                break;
            case TypedError::DecimalComma:
                says = QT_TR_NOOP("小数点には「,」ではなく「.」を使って下さい。");
                break;
            case TypedError::OutOfRange:
                says = kind.outOfRange;
                break;
            }
            m_session.message(Dialogs::Severity::Warning, tr(says) + u"\n"_s + tr(kind.example),
                              title);
            return std::nullopt;
        }
        if (keepsLargeChange(kind, typed.value))
            return typed;
        typedText = *answer;
    }
}

bool EntryFlow::keepsLargeChange(const EntryKind& kind, float value)
{
    if (!kind.largeChange)
        return true;
    // Compared with the value in the file at the moment of the answer: that is what was last
    // entered, here or in another window on the same folder. The session's own may have been
    // derived from the meter since.
    const NumberRead stored = m_session.m_files.readNumber(kind.file.fileName);
    if (stored.status != NumberRead::Status::Ok || !kind.file.range.contains(stored.value) ||
        !isLargeChange(stored.value, value))
        return true;
    const QLocale& locale = m_session.m_locale;
    return m_session.confirm(
        tr(kind.largeChange)
            .arg(generalNumberText(stored.value, locale), generalNumberText(value, locale)),
        tr(kind.title), Dialogs::Default::Cancel);
}

void EntryFlow::removeValue(const EntryKind& kind)
{
    Session& s = m_session;
    std::optional<float>& value = s.m_measurement.*kind.file.value;
    if (!value || !s.confirm(tr(kind.removal), tr(kind.title)))
        return;
    if (const auto error = s.m_files.removeNumber(kind.file.fileName)) {
        s.reportWriteError(*error, tr(kind.notSaved));
        return;
    }
    value.reset();
    (s.m_stored.*kind.file.value).reset();
    emit s.valueChanged(kind.entry);
}

void EntryFlow::recordHistoryLine(const EntryKind& kind)
{
    const Measurement& m = m_session.m_measurement;
    const HistoryEntry entry = HistoryEntry::recorded(m_session.today(), *m.weight, *m.bmi,
                                                      obesityRatio(*m.weight, *m.height));
    const QString line = entry.line(m_session.m_locale);
    if (const auto error = m_session.m_files.appendHistory(line)) {
        m_session.reportWriteError(*error, tr(kind.notRecorded));
        return;
    }
    m_session.m_history->append(line);
}

} // namespace morvane
