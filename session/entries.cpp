#include "session/entries.h"

#include <QCoreApplication>

#include <array>

namespace morvane {
namespace {

const std::array<EntryKind, 3>& table()
{
    static const std::array<EntryKind, 3> t{{
        {.entry = Entry::Height,
         .file = kHeightFile,
         .prompt = QT_TRANSLATE_NOOP("morvane::EntryFlow", "身長をﾒｰﾄﾙ単位で入力して下さい"),
         .example = QT_TRANSLATE_NOOP("morvane::EntryFlow", "     例)  168.5cm →　1.685"),
         .title = QT_TRANSLATE_NOOP("morvane::EntryFlow", "身長登録"),
         .notANumber = QT_TRANSLATE_NOOP(
             "morvane::EntryFlow", "身長が数値ではありません。ﾒｰﾄﾙ単位の数値で入力して下さい。"),
         .outOfRange = QT_TRANSLATE_NOOP("morvane::EntryFlow",
                                         "身長は 0.3 から 3.0 ﾒｰﾄﾙの範囲で入力して下さい。"),
         .notSaved = QT_TRANSLATE_NOOP("morvane::EntryFlow", "身長は変更されていません。"),
         .meter = MeterAfterEntry::DerivesWeight},
        {.entry = Entry::Weight,
         .file = kWeightFile,
         .prompt = QT_TRANSLATE_NOOP("morvane::EntryFlow", "体重をKg単位で入力して下さい"),
         .example = QT_TRANSLATE_NOOP("morvane::EntryFlow", "     例)  68.5Kg →　68.5"),
         .title = QT_TRANSLATE_NOOP("morvane::EntryFlow", "体重入力"),
         .notANumber = QT_TRANSLATE_NOOP(
             "morvane::EntryFlow", "体重が数値ではありません。Kg単位の数値で入力して下さい。"),
         .outOfRange = QT_TRANSLATE_NOOP("morvane::EntryFlow",
                                         "体重は 1 から 1000 Kg の範囲で入力して下さい。"),
         .notSaved = QT_TRANSLATE_NOOP("morvane::EntryFlow", "体重は記録されていません。"),
         .meter = MeterAfterEntry::KeepsWeight,
         .needsHeight = true,
         .notRecorded = QT_TRANSLATE_NOOP("morvane::EntryFlow",
                                          "体重は保存されましたが、履歴には追加されていません。"),
         .largeChange = QT_TRANSLATE_NOOP(
             "morvane::EntryFlow", "前回の体重 %1 kg と大きく違います。このまま記録しますか？"
                                   "\n\n入力した体重: %2 kg")},
        {.entry = Entry::Goal,
         .file = kGoalFile,
         .prompt = QT_TRANSLATE_NOOP("morvane::EntryFlow", "目標体重をKg単位で入力して下さい"),
         .example = QT_TRANSLATE_NOOP("morvane::EntryFlow", "     例)  62.5Kg →　62.5"),
         .title = QT_TRANSLATE_NOOP("morvane::EntryFlow", "目標体重の設定"),
         .notANumber = QT_TRANSLATE_NOOP(
             "morvane::EntryFlow", "目標体重が数値ではありません。Kg単位の数値で入力して下さい。"),
         .outOfRange = QT_TRANSLATE_NOOP("morvane::EntryFlow",
                                         "目標体重は 1 から 1000 Kg の範囲で入力して下さい。"),
         .notSaved = QT_TRANSLATE_NOOP("morvane::EntryFlow", "目標体重は変更されていません。"),
         .removal = QT_TRANSLATE_NOOP("morvane::EntryFlow", "目標体重を削除します")},
    }};
    return t;
}

} // namespace

const EntryKind& entryKind(Entry entry)
{
    return table()[static_cast<std::size_t>(entry)];
}

std::span<const EntryKind> entryKinds()
{
    return table();
}

std::vector<NumberFile> numberFiles()
{
    std::vector<NumberFile> numbers;
    for (const EntryKind& kind : entryKinds())
        numbers.push_back(kind.file);
    return numbers;
}

} // namespace morvane
