#pragma once
// Title selection dialog: one row per title; a click on a row chooses that title and closes.
#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QTableWidget;

namespace rovik {

class TForm6 : public QDialog {
    Q_OBJECT
public:
    // `names`: the title names in file order (UTF-8).
    explicit TForm6(const std::vector<std::string>& names, QWidget* parent = nullptr);

    // The clicked row from 0, or nothing when the dialog was closed without a choice.
    std::optional<int> chosenRow() const { return m_chosenRow; }

    QTableWidget* StringGrid1;

public slots:
    void StringGrid1Click(int row);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::optional<int> m_chosenRow;
};

} // namespace rovik
