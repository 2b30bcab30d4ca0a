#include "ui/importdialog.h"

#include "measure/numbertext.h"
#include "session/historyimporter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// Text from the file (a header, a first value) shortened, so that a damaged file's megabyte
// field cannot make the dialog slow or huge.
constexpr qsizetype kMaxFieldShown = 40;
// The refused rows listed; more are counted.
constexpr qsizetype kMaxRefusedShown = 1000;

QString shortened(const QString& text)
{
    return text.size() <= kMaxFieldShown ? text : text.left(kMaxFieldShown - 1) + QChar(0x2026);
}

QString delimiterName(QChar delimiter)
{
    if (delimiter == u'\t')
        return ImportDialog::tr("タブ");
    return u'「' + QString(delimiter) + u'」';
}

} // namespace

ImportDialog::ImportDialog(ImportPreviewer& previewer, QWidget* parent)
    : QDialog(parent)
    , m_previewer(previewer)
{
    setWindowTitle(tr("履歴の取り込み"));
    setObjectName(u"dlgImport"_s);
    setAccessibleDescription(tr("取り込むファイルの内容と、取り込んだあとの履歴の見込み"));
    auto* form = new QFormLayout;
    auto* file = new QLabel(shortened(QFileInfo(previewer.file().path).fileName()), this);
    file->setToolTip(QFileInfo(previewer.file().path).absoluteFilePath());
    form->addRow(tr("ファイル:"), file);
    m_format = new QLabel(this);
    form->addRow(tr("形式:"), m_format);

    m_dateColumn = new QComboBox(this);
    m_weightColumn = new QComboBox(this);
    form->addRow(tr("日付の列(&D):"), m_dateColumn);
    form->addRow(tr("体重の列(&W):"), m_weightColumn);
    m_order = new QComboBox(this);
    m_order->addItem(tr("月/日/年（03/04/2024 は 3月4日）"), int(DayMonthOrder::MonthFirst));
    m_order->addItem(tr("日/月/年（03/04/2024 は 4月3日）"), int(DayMonthOrder::DayFirst));
    m_order->setAccessibleName(tr("日付の順序"));
    m_orderCaption = new QLabel(tr("日付の順序(&O):"), this);
    m_orderCaption->setBuddy(m_order);
    form->addRow(m_orderCaption, m_order);
    m_range = new QLabel(this);
    form->addRow(tr("期間:"), m_range);
    m_counts = new QLabel(this);
    m_counts->setWordWrap(true);
    form->addRow(tr("件数:"), m_counts);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto textBox = [&](const QString& name) {
        auto* box = new QPlainTextEdit(this);
        box->setReadOnly(true);
        box->setFont(fixed);
        box->setAccessibleName(name);
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->setTabChangesFocus(true);
        return box;
    };
    m_refused = textBox(tr("取り込めない行"));
    m_lines = textBox(tr("書き込む行"));
    m_currentWeight = new QCheckBox(this);
    m_currentWeight->setChecked(previewer.choices().makeCurrentWeight);
    connect(m_currentWeight, &QCheckBox::toggled, this,
            [this](bool on) { m_previewer.chooseCurrentWeight(on); });

    m_buttons = new QDialogButtonBox(this);
    QPushButton* import = m_buttons->addButton(tr("取り込む"), QDialogButtonBox::AcceptRole);
    import->setObjectName(u"cmdImport"_s);
    import->setDefault(true);
    m_buttons->addButton(QDialogButtonBox::Cancel);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* refusedCaption = new QLabel(tr("取り込めない行(&R):"), this);
    refusedCaption->setBuddy(m_refused);
    layout->addWidget(refusedCaption);
    layout->addWidget(m_refused, 1);
    auto* linesCaption = new QLabel(tr("書き込む行（最初の %1 行）(&L):").arg(kPreviewLines), this);
    linesCaption->setBuddy(m_lines);
    layout->addWidget(linesCaption);
    layout->addWidget(m_lines, 1);
    layout->addWidget(m_currentWeight);
    layout->addWidget(m_buttons);
    resize(560, 520);

    fillColumns();
    connect(m_dateColumn, &QComboBox::activated, this, &ImportDialog::columnsChosen);
    connect(m_weightColumn, &QComboBox::activated, this, &ImportDialog::columnsChosen);
    connect(m_order, &QComboBox::activated, this, [this] {
        m_previewer.chooseDayMonthOrder(DayMonthOrder(m_order->currentData().toInt()));
        showPreview();
    });
    showPreview();
}

void ImportDialog::fillColumns()
{
    const ImportFile& file = m_previewer.file();
    for (QComboBox* box : {m_dateColumn, m_weightColumn}) {
        box->clear();
        for (qsizetype i = 0; i < file.columns.size(); ++i) {
            const ImportColumn& column = file.columns[i];
            QString item = tr("%1 列目").arg(i + 1);
            if (!column.name.isEmpty())
                item += u"  "_s + shortened(column.name);
            if (!column.firstValue.isEmpty())
                item += tr("（%1）").arg(shortened(column.firstValue));
            box->addItem(item);
        }
    }
    m_dateColumn->setCurrentIndex(file.dateColumn);
    m_weightColumn->setCurrentIndex(file.weightColumn);
    // An XML file's values are named by its elements: there are no columns to choose.
    m_dateColumn->setEnabled(file.format != ImportFormat::PondusXml);
    m_weightColumn->setEnabled(file.format != ImportFormat::PondusXml);
}

void ImportDialog::columnsChosen()
{
    if (!m_previewer.chooseColumns(m_dateColumn->currentIndex(), m_weightColumn->currentIndex())) {
        fillColumns(); // the columns read before stay
        return;
    }
    fillColumns();
    showPreview();
}

void ImportDialog::showPreview()
{
    const QLocale locale;
    const ImportFile& file = m_previewer.file();
    const ImportPreview& p = m_previewer.preview();
    QString format =
        importFormatName(file.format) + tr("（%1").arg(textEncodingName(file.encoding));
    if (!file.delimiter.isNull())
        format += tr("、区切り %1").arg(delimiterName(file.delimiter));
    if (file.weightInPounds)
        format += tr("、ポンドを kg に換算");
    m_format->setText(format + tr("）"));

    const bool ask = file.needsDayMonthOrder;
    m_orderCaption->setVisible(ask);
    m_order->setVisible(ask);
    if (ask && m_previewer.choices().dayMonthOrder == DayMonthOrder::Undecided)
        m_order->setCurrentIndex(-1);

    m_range->setText(p.firstDate.isValid()
                         ? tr("%1〜%2").arg(locale.toString(p.firstDate, QLocale::ShortFormat),
                                            locale.toString(p.lastDate, QLocale::ShortFormat))
                         : tr("日付のある行がありません"));
    QString counts =
        tr("新しい記録 %1 件、履歴にある記録 %2 件（取り込みません）、取り込めない行 %3 件")
            .arg(locale.toString(p.newEntries), locale.toString(p.alreadyInHistory),
                 locale.toString(qint64(p.refused.size())));
    if (ask && m_previewer.choices().dayMonthOrder == DayMonthOrder::Undecided)
        counts += u'\n' + tr("日付が月/日/年か日/月/年か、このファイルからは決まりません。"
                             "日付の順序を選んで下さい。");
    else if (p.nothingToImport())
        counts += u'\n' + tr("このファイルには取り込める新しい記録がありません。");
    m_counts->setText(counts);

    QStringList refused;
    for (std::size_t i = 0; i < std::min(p.refused.size(), std::size_t(kMaxRefusedShown)); ++i) {
        refused.append(
            tr("%1 行目: %2")
                .arg(locale.toString(p.refused[i].row), importRefusalText(p.refused[i].reason)));
    }
    if (p.refused.size() > std::size_t(kMaxRefusedShown))
        refused.append(
            tr("ほか %1 行")
                .arg(locale.toString(qint64(p.refused.size()) - qint64(kMaxRefusedShown))));
    m_refused->setPlainText(refused.isEmpty() ? tr("（ありません）") : refused.join(u'\n'));
    m_lines->setPlainText(p.firstLines.join(u'\n'));

    m_currentWeight->setVisible(p.newestIsImported);
    m_currentWeight->setText(tr("いちばん新しい体重 %1 kg を現在の体重にする")
                                 .arg(oneDecimalText(p.newestWeight, locale)));
    // Until the order of month and day is chosen, what the file's dates are is not known.
    const bool undecided = ask && m_previewer.choices().dayMonthOrder == DayMonthOrder::Undecided;
    for (QAbstractButton* button : m_buttons->buttons()) {
        if (m_buttons->buttonRole(button) != QDialogButtonBox::AcceptRole)
            continue;
        button->setVisible(undecided || !p.nothingToImport());
        button->setEnabled(!undecided);
    }
}

} // namespace morvane
