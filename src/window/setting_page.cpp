#include "window/setting_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <span>
#include <string_view>
#include <vector>

#include "shell/page_labels.h"
#include "window/view_binder.h"
#include "window/view_style.h"

namespace ccp::qt {

namespace {

// Rows whose items sit on a line of their own under the label.
const std::string_view kItemsBelow[] = {"L_PubHeader", "L_BS"};

// Fields shown in the fixed-pitch font, with the characters they show.
struct FixedField {
  const char* name;
  int chars;
};
const FixedField kFixedFields[] = {
    {"lcdholdtime", 3},    {"rangetime", 3},        {"serial", 8},           {"password", 4},
    {"tonepatternA", 4},   {"tonepatternB", 4},     {"tonepatternC", 4},     {"tonepatternD", 4},
    {"tonepatternPon", 4}, {"tonepatternLcell", 4}, {"tonepatternUcall", 4},
};

// Proportional fields and their characters.
const FixedField kNarrowFields[] = {
    {"contrast", 2},    {"channelfreq", 8},     {"chineseheader", 1}, {"engheader", 1},
    {"clearheader", 1}, {"firmwareversion", 1}, {"subversion", 1},
};

class SettingPage {
 public:
  explicit SettingPage(ViewBinder& binder) : binder_(binder), page_(new QWidget) {}

  QWidget* build() {
    // The greeting and the tone patterns head the left and middle columns; the right column
    // runs the page's full height beside them.
    auto* layout = new QGridLayout(page_);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(6);
    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(greeting());
    top->addWidget(tonePatterns());
    top->addStretch(1);
    layout->addLayout(top, 0, 0);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(8);
    columns->addLayout(rows(pages::settingLeftRows()));
    columns->addLayout(rows(pages::settingMiddleRows()));
    columns->addStretch(1);
    layout->addLayout(columns, 1, 0);
    layout->addLayout(rightColumn(), 0, 1, 2, 1);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(2, 1);
    styleFields();
    keepServicePlaces();
    chainFocus();
    return page_;
  }

 private:
  // A control or model label; a control joins the focus order.
  QWidget* named(std::string_view name, QWidget* parent) {
    QWidget* widget = binder_.widget(name, parent);
    if (!pages::isModelLabel(name)) order_.push_back(widget);
    return widget;
  }

  QWidget* item(const pages::RowItem& i, QWidget* parent) {
    return i.caption ? caption(QString::fromLatin1(i.text), parent) : named(i.text, parent);
  }

  QGroupBox* greeting() {
    QGroupBox* group = captionedGroup(QString::fromLatin1(pages::kGreetingGroup), page_);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 4, 6, 4);
    QWidget* hello = named(pages::kGreeting, group);
    hello->setFont(greetingFont());
    fitChars(hello, 14);
    layout->addWidget(hello);
    layout->addStretch(1);
    return group;
  }

  QGroupBox* tonePatterns() {
    QGroupBox* group = captionedGroup(QString::fromLatin1(pages::kToneGroup), page_);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(1);
    // Made row by row; the focus goes down the first column, then the second, as listed.
    const std::span<const pages::Captioned> patterns = pages::kTonePatterns;
    std::vector<QWidget*> columnOrder(patterns.size());
    for (int row = 0; row < pages::kTonePatternRows; ++row) {
      for (auto i = static_cast<std::size_t>(row); i < patterns.size();
           i += pages::kTonePatternRows) {
        const int column = 2 * static_cast<int>(i / pages::kTonePatternRows);
        grid->addWidget(caption(QString::fromLatin1(patterns[i].caption), group), row, column);
        columnOrder[i] = binder_.widget(patterns[i].name, group);
        grid->addWidget(columnOrder[i], row, column + 1);
      }
    }
    order_.insert(order_.end(), columnOrder.begin(), columnOrder.end());
    return group;
  }

  QGridLayout* rows(std::span<const pages::PageRow> table) {
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(1);
    grid->setHorizontalSpacing(4);
    int row = 0;
    for (const pages::PageRow& r : table) row = addRow(grid, row, r);
    grid->setRowStretch(row, 1);  // rows packed at the top, whatever the other column's height
    return grid;
  }

  // A row's label is a model label or a fixed caption, even when it reads like a control's name.
  QWidget* labelCell(std::string_view name) {
    if (pages::isModelLabel(name)) return binder_.widget(name, page_);
    return caption(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())), page_);
  }

  // Adds the row at `row`; returns the next free row.
  int addRow(QGridLayout* grid, int row, const pages::PageRow& r) {
    const bool below = std::ranges::find(kItemsBelow, r.label) != std::end(kItemsBelow);
    grid->addWidget(labelCell(r.label), row, 0, 1, below ? 2 : 1);
    auto* cells = new QHBoxLayout;
    cells->setSpacing(3);
    for (const pages::RowItem& i : r.items) cells->addWidget(item(i, page_));
    cells->addStretch(1);
    if (below) {
      grid->addLayout(cells, ++row, 0, 1, 2);
    } else {
      grid->addLayout(cells, row, 1);
    }
    return row + 1;
  }

  QVBoxLayout* rightColumn() {
    auto* column = new QVBoxLayout;
    column->setSpacing(1);
    for (const char* name : pages::settingChecks()) column->addWidget(named(name, page_));
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(1);
    grid->setHorizontalSpacing(6);
    int row = 0;
    for (const pages::PageRow& r : pages::settingServiceRows()) row = addRow(grid, row, r);
    column->addLayout(grid);
    column->addStretch(1);
    auto* firmware = new QGridLayout;
    firmware->setHorizontalSpacing(6);
    addRow(firmware, 0, pages::settingFirmwareRow());
    column->addLayout(firmware);
    return column;
  }

  // The service fields start hidden; their place is kept for them, so showing them moves
  // nothing.
  void keepServicePlaces() {
    for (const pages::PageRow& r : pages::settingServiceRows()) {
      keepPlaceWhenHidden(binder_.widget(r.label, page_));
      for (const pages::RowItem& i : r.items) keepPlaceWhenHidden(binder_.widget(i.text, page_));
    }
  }

  void styleFields() {
    for (const FixedField& f : kFixedFields) {
      QWidget* widget = binder_.widget(f.name, page_);
      widget->setFont(fixedFont());
      fitChars(widget, f.chars);
    }
    for (const FixedField& f : kNarrowFields) fitChars(binder_.widget(f.name, page_), f.chars);
    binder_.widget("numset", page_)->setFont(fixedFont());
  }

  void chainFocus() {
    for (std::size_t i = 1; i < order_.size(); ++i) {
      QWidget::setTabOrder(order_[i - 1], order_[i]);
    }
  }

  ViewBinder& binder_;
  QWidget* page_;
  std::vector<QWidget*> order_;  // focus order: top to bottom, column by column
};

}  // namespace

QWidget* buildSettingPage(ViewBinder& binder) {
  return SettingPage(binder).build();
}

}  // namespace ccp::qt
