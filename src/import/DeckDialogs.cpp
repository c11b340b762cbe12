#include "import/DeckDialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <map>

namespace rovik {
namespace {

QString qs(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
}

QComboBox* namedCombo(QWidget* parent, const char* name, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    return box;
}

// A combo of choices whose data is the column or field index (-1 for none).
void fillIndexChoices(QComboBox* box, const QStringList& names, bool withNone, int selected) {
    const QSignalBlocker block(box);
    box->clear();
    if (withNone) box->addItem(QStringLiteral("なし"), -1);
    for (int i = 0; i < names.size(); ++i)
        box->addItem(names[i], i);
    const int at = box->findData(selected);
    box->setCurrentIndex(at < 0 ? 0 : at);
}

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("ＯＫ"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkButton"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

CsvImportDialog::CsvImportDialog(const std::string& fileBytes, QWidget* parent)
    : QDialog(parent), m_bytes(fileBytes) {
    setObjectName(QStringLiteral("CsvImportDialog"));
    setWindowTitle(QStringLiteral("CSV読み込み"));
    auto* layout = new QVBoxLayout(this);
    auto* reading = new QGroupBox(QStringLiteral("ファイルの形式"), this);
    auto* readingForm = new QFormLayout(reading);
    SeparatorBox = namedCombo(reading, "SeparatorBox",
                              {QStringLiteral("自動"), QStringLiteral("カンマ (,)"),
                               QStringLiteral("セミコロン (;)"), QStringLiteral("タブ")});
    EncodingBox = namedCombo(reading, "EncodingBox",
                             {QStringLiteral("自動"), QStringLiteral("Shift-JIS"), QStringLiteral("UTF-8")});
    HeaderBox =
        namedCombo(reading, "HeaderBox",
                   {QStringLiteral("自動"), QStringLiteral("1行目は見出し"), QStringLiteral("見出しなし")});
    readingForm->addRow(QStringLiteral("区切り文字"), SeparatorBox);
    readingForm->addRow(QStringLiteral("文字コード"), EncodingBox);
    readingForm->addRow(QStringLiteral("見出し行"), HeaderBox);
    layout->addWidget(reading);

    auto* columns = new QGroupBox(QStringLiteral("列の割り当て"), this);
    auto* columnForm = new QFormLayout(columns);
    QuestionBox = namedCombo(columns, "QuestionBox", {});
    AnswerBox = namedCombo(columns, "AnswerBox", {});
    ReferenceBox = namedCombo(columns, "ReferenceBox", {});
    CategoryABox = namedCombo(columns, "CategoryABox", {});
    CategoryBBox = namedCombo(columns, "CategoryBBox", {});
    columnForm->addRow(QStringLiteral("質問"), QuestionBox);
    columnForm->addRow(QStringLiteral("解答"), AnswerBox);
    columnForm->addRow(QStringLiteral("参考"), ReferenceBox);
    columnForm->addRow(QStringLiteral("分類A"), CategoryABox);
    columnForm->addRow(QStringLiteral("分類B"), CategoryBBox);
    layout->addWidget(columns);

    auto* previewLabel = new QLabel(QStringLiteral("先頭の行"), this);
    layout->addWidget(previewLabel);
    PreviewGrid = new QTableWidget(this);
    previewLabel->setBuddy(PreviewGrid);
    PreviewGrid->setAccessibleName(previewLabel->text()); // a table takes no name from its label
    PreviewGrid->setObjectName(QStringLiteral("PreviewGrid"));
    PreviewGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PreviewGrid->setMinimumSize(520, 180);
    layout->addWidget(PreviewGrid);
    layout->addWidget(okCancel(this));

    for (QComboBox* box : {SeparatorBox, EncodingBox, HeaderBox})
        connect(box, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { refresh(); });
    refresh();
}

decks::CsvOptions CsvImportDialog::options() const {
    decks::CsvOptions o;
    const char separators[] = {0, ',', ';', '\t'};
    o.separator = separators[SeparatorBox->currentIndex()];
    const EncodingChoice encodings[] = {EncodingChoice::Auto, EncodingChoice::Cp932, EncodingChoice::Utf8};
    o.encoding = encodings[EncodingBox->currentIndex()];
    o.header = HeaderBox->currentIndex() == 0 ? -1 : HeaderBox->currentIndex() == 1 ? 1 : 0;
    o.question = QuestionBox->currentData().toInt();
    o.answer = AnswerBox->currentData().toInt();
    o.reference = ReferenceBox->currentData().toInt();
    o.categoryA = CategoryABox->currentData().toInt();
    o.categoryB = CategoryBBox->currentData().toInt();
    return o;
}

void CsvImportDialog::fillColumnChoices(const decks::CsvPreview& preview) {
    QStringList names;
    for (std::size_t c = 0; c < preview.columns; ++c) {
        QString name = QStringLiteral("列%1").arg(c + 1);
        if (preview.header && !preview.rows.empty() && c < preview.rows[0].size())
            name += QStringLiteral(": ") + qs(preview.rows[0][c]);
        names << name;
    }
    if (preview.columns == m_columns && QuestionBox->count() > 0) return; // keep the user's choices
    m_columns = preview.columns;
    fillIndexChoices(QuestionBox, names, false, 0);
    fillIndexChoices(AnswerBox, names, false, 1);
    fillIndexChoices(ReferenceBox, names, true, preview.columns > 2 ? 2 : -1);
    fillIndexChoices(CategoryABox, names, true, -1);
    fillIndexChoices(CategoryBBox, names, true, -1);
}

void CsvImportDialog::refresh() {
    decks::CsvOptions o;
    const char separators[] = {0, ',', ';', '\t'};
    o.separator = separators[SeparatorBox->currentIndex()];
    const EncodingChoice encodings[] = {EncodingChoice::Auto, EncodingChoice::Cp932, EncodingChoice::Utf8};
    o.encoding = encodings[EncodingBox->currentIndex()];
    o.header = HeaderBox->currentIndex() == 0 ? -1 : HeaderBox->currentIndex() == 1 ? 1 : 0;
    const decks::CsvPreview preview = decks::previewCsv(m_bytes, o);
    fillColumnChoices(preview);
    PreviewGrid->clear();
    if (preview.outcome != decks::ImportOutcome::Done) {
        PreviewGrid->setRowCount(1);
        PreviewGrid->setColumnCount(1);
        PreviewGrid->setItem(0, 0, new QTableWidgetItem(qs(preview.message)));
        return;
    }
    PreviewGrid->setRowCount(static_cast<int>(preview.rows.size()));
    PreviewGrid->setColumnCount(static_cast<int>(preview.columns));
    QStringList headers;
    for (std::size_t c = 0; c < preview.columns; ++c)
        headers << QStringLiteral("列%1").arg(c + 1);
    PreviewGrid->setHorizontalHeaderLabels(headers);
    for (std::size_t r = 0; r < preview.rows.size(); ++r)
        for (std::size_t c = 0; c < preview.rows[r].size(); ++c)
            PreviewGrid->setItem(static_cast<int>(r), static_cast<int>(c),
                                 new QTableWidgetItem(qs(preview.rows[r][c])));
}

AnkiImportDialog::AnkiImportDialog(const decks::AnkiCollection& collection,
                                   const std::vector<decks::AnkiDeckInfo>& decks, QWidget* parent)
    : QDialog(parent), m_decks(decks) {
    setObjectName(QStringLiteral("AnkiImportDialog"));
    setWindowTitle(QStringLiteral("Ankiﾊﾟｯｹｰｼﾞ読み込み"));
    auto* layout = new QVBoxLayout(this);
    // The fields offered are those of the note type most notes use.
    std::map<std::int64_t, int> uses;
    for (const auto& note : collection.notes)
        ++uses[note.typeId];
    std::int64_t common = 0;
    int most = -1;
    for (const auto& [type, count] : uses)
        if (count > most) {
            most = count;
            common = type;
        }
    QStringList names;
    auto type = collection.noteTypes.find(common);
    const std::size_t fieldCount =
        type == collection.noteTypes.end() ? 2 : std::max<std::size_t>(type->second.fieldNames.size(), 1);
    for (std::size_t i = 0; i < fieldCount; ++i) {
        QString name = QStringLiteral("フィールド%1").arg(i + 1);
        if (type != collection.noteTypes.end() && i < type->second.fieldNames.size())
            name += QStringLiteral(": ") + qs(type->second.fieldNames[i]);
        names << name;
    }
    auto* fields =
        new QGroupBox(type == collection.noteTypes.end()
                          ? QStringLiteral("フィールド")
                          : QStringLiteral("フィールド（ノートタイプ「%1」）").arg(qs(type->second.name)),
                      this);
    auto* form = new QFormLayout(fields);
    QuestionBox = namedCombo(fields, "QuestionBox", {});
    AnswerBox = namedCombo(fields, "AnswerBox", {});
    ReferenceBox = namedCombo(fields, "ReferenceBox", {});
    fillIndexChoices(QuestionBox, names, false, 0);
    fillIndexChoices(AnswerBox, names, false, 1);
    fillIndexChoices(ReferenceBox, names, true, -1);
    form->addRow(QStringLiteral("質問"), QuestionBox);
    form->addRow(QStringLiteral("解答"), AnswerBox);
    form->addRow(QStringLiteral("参考"), ReferenceBox);
    layout->addWidget(fields);

    const bool tooMany = decks.size() > 15;
    layout->addWidget(
        new QLabel(tooMany ? QStringLiteral("デッキが%1個あります。読み込むデッキを15個まで選んでください。")
                                 .arg(decks.size())
                           : QStringLiteral("読み込むデッキ（1デッキが1タイトルになります）"),
                   this));
    DeckList = new QListWidget(this);
    DeckList->setObjectName(QStringLiteral("DeckList"));
    for (const auto& deck : decks) {
        auto* item =
            new QListWidgetItem(QStringLiteral("%1（%2件）").arg(qs(deck.path)).arg(deck.notes), DeckList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(tooMany ? Qt::Unchecked : Qt::Checked);
    }
    DeckList->setMinimumSize(420, 160);
    layout->addWidget(DeckList);
    layout->addWidget(okCancel(this));
}

decks::AnkiOptions AnkiImportDialog::options() const {
    decks::AnkiOptions o;
    o.question = QuestionBox->currentData().toInt();
    o.answer = AnswerBox->currentData().toInt();
    o.reference = ReferenceBox->currentData().toInt();
    for (int i = 0; i < DeckList->count(); ++i)
        if (DeckList->item(i)->checkState() == Qt::Checked)
            o.decks.push_back(m_decks[static_cast<std::size_t>(i)].path);
    return o;
}

std::optional<decks::CsvOptions> QtDeckImportDialogs::chooseCsvOptions(const std::string& fileBytes,
                                                                       const decks::CsvOptions&) {
    CsvImportDialog dialog(fileBytes, m_parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.options();
}

std::optional<decks::AnkiOptions>
QtDeckImportDialogs::chooseAnkiOptions(const decks::AnkiCollection& collection,
                                       const std::vector<decks::AnkiDeckInfo>& decks) {
    AnkiImportDialog dialog(collection, decks, m_parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.options();
}

} // namespace rovik
