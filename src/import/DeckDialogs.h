#pragma once
// The CSV column mapping dialog (with a preview of the first rows) and the Anki field and deck
// dialog: the Qt face of the decks imports' choices.
#include "decks/DeckImportCommands.h"

#include <QDialog>

class QComboBox;
class QListWidget;
class QTableWidget;

namespace rovik {

class CsvImportDialog : public QDialog {
public:
    CsvImportDialog(const std::string& fileBytes, QWidget* parent);
    decks::CsvOptions options() const;

private:
    void refresh();
    void fillColumnChoices(const decks::CsvPreview& preview);

    const std::string& m_bytes;
    QComboBox* SeparatorBox;
    QComboBox* EncodingBox;
    QComboBox* HeaderBox;
    QComboBox* QuestionBox;
    QComboBox* AnswerBox;
    QComboBox* ReferenceBox;
    QComboBox* CategoryABox;
    QComboBox* CategoryBBox;
    QTableWidget* PreviewGrid;
    std::size_t m_columns = 0;
};

class AnkiImportDialog : public QDialog {
public:
    AnkiImportDialog(const decks::AnkiCollection& collection, const std::vector<decks::AnkiDeckInfo>& decks,
                     QWidget* parent);
    decks::AnkiOptions options() const;

private:
    QComboBox* QuestionBox;
    QComboBox* AnswerBox;
    QComboBox* ReferenceBox;
    QListWidget* DeckList;
    std::vector<decks::AnkiDeckInfo> m_decks;
};

// Shows the dialogs over `parent`.
class QtDeckImportDialogs : public decks::DeckImportDialogs {
public:
    explicit QtDeckImportDialogs(QWidget* parent) : m_parent(parent) {}
    std::optional<decks::CsvOptions> chooseCsvOptions(const std::string& fileBytes,
                                                      const decks::CsvOptions& initial) override;
    std::optional<decks::AnkiOptions>
    chooseAnkiOptions(const decks::AnkiCollection& collection,
                      const std::vector<decks::AnkiDeckInfo>& decks) override;

private:
    QWidget* m_parent;
};

} // namespace rovik
