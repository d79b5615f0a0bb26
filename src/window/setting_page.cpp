#include "window/setting_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>
#include <vector>

#include "window/view_binder.h"
#include "window/view_style.h"

namespace ccp::qt {

namespace {

// One labelled row. The label and each cell after it name a model label ("L_..."), a control,
// or else are a fixed caption.
struct Row {
  const char* label;
  std::vector<const char*> cells;
  bool cellsBelow = false;  // the cells on a line of their own under the label
};

const Row kLeftColumn[] = {
    {"LCD hold time", {"lcdholdtime"}},
    {"contrast", {"contrast"}},
    {"Date format", {"dateformat"}},
    {"Auto spacing", {"autospace"}},
    {"Msg display time", {"msgdisptime"}},
    {"Alert time", {"alerttime"}},
    {"Low cell delay", {"lowcell"}},
    {"L_rangetime", {"rangetime", "L_rangetimeSec"}},
    {"Baud rate", {"baudrate"}},
    {"Data", {"polarity"}},
    {"Channel freq", {"channelfreq", "MHz@", "channelspace"}},
    {"L_pll", {"pll"}},
};

const Row kMiddleColumn[] = {
    {"L_serial", {"serial"}},
    {"L_urgcalladdr", {"urgcalladdr"}},
    {"L_password", {"password"}},
    {"Urgent call type", {"urgcalltype"}},
    {"Urgent call mode", {"urgcallmode"}},
    {"Public folder mode", {"pubfoldermode"}},
    {"Public call no.", {"pubcallno"}},
    {"Repeat call check", {"repeatcallcheck"}},
    {"Repeat call rejection", {"repeatcallreject"}},
    {"Num Char. Set", {"numset"}},
    {"Character Set", {"language"}},
    {"Menu language", {"menulanguage"}},
};

const char* const kRightChecks[] = {"handprogram", "urgentcall",      "unread_alert",     "ota",
                                    "qsound",      "outrangespecial", "lowbatteryspecial"};

const Row kRightRows[] = {
    {"L_PubHeader", {"chineseheader", "engheader", "clearheader"}, true},
    {"L_BS", {"BS1", "BS2", "BS3"}, true},
    {"L_Acheck", {"addrcheck"}},
    {"L_Dcheck", {"datacheck"}},
};
// At the bottom of the right column.
const Row kFirmwareRow = {"Firmware version", {"firmwareversion", "subversion"}};

// Tone patterns: {caption, field} pairs, two to a row.
const char* const kTonePatterns[][4] = {
    {"A", "tonepatternA", "Power On", "tonepatternPon"},
    {"B", "tonepatternB", "Low Cell", "tonepatternLcell"},
    {"C", "tonepatternC", "Urgent call", "tonepatternUcall"},
    {"D", "tonepatternD", nullptr, nullptr},
};

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
    columns->addLayout(rows(kLeftColumn));
    columns->addLayout(rows(kMiddleColumn));
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
  QWidget* cell(std::string_view name, QWidget* parent) {
    if (binder_.hasControl(name)) {
      QWidget* widget = binder_.widget(name, parent);
      if (!name.starts_with("L_")) order_.push_back(widget);
      return widget;
    }
    return caption(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())), parent);
  }

  QGroupBox* greeting() {
    QGroupBox* group = captionedGroup(QStringLiteral("Hello Message"), page_);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 4, 6, 4);
    QWidget* hello = cell("hellomsg1", group);
    hello->setFont(greetingFont());
    fitChars(hello, 14);
    layout->addWidget(hello);
    layout->addStretch(1);
    return group;
  }

  QGroupBox* tonePatterns() {
    QGroupBox* group = captionedGroup(QStringLiteral("Tone pattern"), page_);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(1);
    int row = 0;
    for (const auto& pattern : kTonePatterns) {
      for (int column = 0; column < 4 && pattern[column] != nullptr; ++column) {
        grid->addWidget(cell(pattern[column], group), row, column);
      }
      ++row;
    }
    // Down the first column, then the second.
    std::vector<QWidget*> columnOrder;
    for (const auto& pattern : kTonePatterns)
      columnOrder.push_back(binder_.widget(pattern[1], group));
    for (const auto& pattern : kTonePatterns) {
      if (pattern[3] != nullptr) columnOrder.push_back(binder_.widget(pattern[3], group));
    }
    std::erase_if(order_, [&](QWidget* w) {
      return std::find(columnOrder.begin(), columnOrder.end(), w) != columnOrder.end();
    });
    order_.insert(order_.end(), columnOrder.begin(), columnOrder.end());
    return group;
  }

  template <std::size_t N>
  QGridLayout* rows(const Row (&table)[N]) {
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(1);
    grid->setHorizontalSpacing(4);
    int row = 0;
    for (const Row& r : table) row = addRow(grid, row, r);
    grid->setRowStretch(row, 1);  // rows packed at the top, whatever the other column's height
    return grid;
  }

  // A row's label is a model label or a fixed caption, even when it reads like a control's name.
  QWidget* labelCell(std::string_view name) {
    if (name.starts_with("L_")) return binder_.widget(name, page_);
    return caption(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())), page_);
  }

  // Adds the row at `row`; returns the next free row.
  int addRow(QGridLayout* grid, int row, const Row& r) {
    grid->addWidget(labelCell(r.label), row, 0, 1, r.cellsBelow ? 2 : 1);
    auto* cells = new QHBoxLayout;
    cells->setSpacing(3);
    for (const char* name : r.cells) cells->addWidget(cell(name, page_));
    cells->addStretch(1);
    if (r.cellsBelow) {
      grid->addLayout(cells, ++row, 0, 1, 2);
    } else {
      grid->addLayout(cells, row, 1);
    }
    return row + 1;
  }

  QVBoxLayout* rightColumn() {
    auto* column = new QVBoxLayout;
    column->setSpacing(1);
    for (const char* name : kRightChecks) column->addWidget(cell(name, page_));
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(1);
    grid->setHorizontalSpacing(6);
    int row = 0;
    for (const Row& r : kRightRows) row = addRow(grid, row, r);
    column->addLayout(grid);
    column->addStretch(1);
    auto* firmware = new QGridLayout;
    firmware->setHorizontalSpacing(6);
    addRow(firmware, 0, kFirmwareRow);
    column->addLayout(firmware);
    return column;
  }

  // The service fields start hidden; their place is kept for them, so showing them moves
  // nothing.
  void keepServicePlaces() {
    for (const Row& r : kRightRows) {
      keepPlaceWhenHidden(binder_.widget(r.label, page_));
      for (const char* name : r.cells) keepPlaceWhenHidden(binder_.widget(name, page_));
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
