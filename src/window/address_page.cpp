#include "window/address_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "image/layout.h"
#include "shell/form_controls.h"
#include "shell/page_labels.h"
#include "window/view_binder.h"
#include "window/view_style.h"

namespace ccp::qt {

namespace {

// The folder grid, row by row: folder indexes as the user sees them laid out.
const int kFolderGrid[4][4] = {
    {0x0, 0x1, 0x8, 0x9}, {0x2, 0x3, 0xA, 0xB}, {0x4, 0x5, 0xC, 0xD}, {0x6, 0x7, 0xE, 0xF}};
constexpr int kFolderCellColumns = 4;  // check box, title, length, a gap to the next cell
constexpr int kFolderCellGap = 12;

void chainFocus(const std::vector<QWidget*>& order) {
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

QGroupBox* buildAddressGroup(ViewBinder& binder, QWidget* page) {
  QGroupBox* group = captionedGroup(QString::fromLatin1(pages::kAddressGroup), page);
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(6, 4, 6, 4);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(2);
  std::vector<QWidget*> focusOrder;
  int column = 0;
  for (const pages::AddressColumn& c : pages::kAddressColumns) {
    grid->addWidget(caption(QString::fromLatin1(c.heading), group), 0, column);
    for (int row = 1; row <= kAddressCount; ++row) {
      QWidget* widget = binder.widget(pages::addressControl(c, row), group);
      grid->addWidget(widget, row, column);
      focusOrder.push_back(widget);
    }
    ++column;
  }
  for (int row = 1; row <= kAddressCount; ++row) {
    const std::string n = std::to_string(row);
    fitChars(binder.widget("address" + n, group), 7);
    fitChars(binder.widget("frame" + n, group), 1);
    readableWhenDisabled(binder.widget("frame" + n, group));
    binder.widget("autoinc" + n, group)->setFixedWidth(44);
  }
  grid->setColumnStretch(column, 1);
  chainFocus(focusOrder);
  return group;
}

QGroupBox* buildFolderGroup(ViewBinder& binder, QWidget* page) {
  QGroupBox* group = captionedGroup(QString::fromLatin1(pages::kFolderGroup), page);
  group->setToolTip(QStringLiteral("Total 100 message can be received"));
  auto* grid = new QGridLayout(group);
  grid->setHorizontalSpacing(3);
  grid->setVerticalSpacing(3);
  grid->setContentsMargins(6, 4, 6, 4);
  for (int cell = 0; cell < 4; ++cell) {
    // One heading line over title and length: "Length" may reach over the title's end, so
    // the narrow length field sets its column's width.
    auto* headings = new QHBoxLayout;
    headings->setContentsMargins(0, 0, 0, 0);
    headings->addWidget(caption(QString::fromLatin1(pages::kFolderTitle.heading), group));
    headings->addStretch(1);
    headings->addWidget(caption(QString::fromLatin1(pages::kFolderLength.heading), group));
    grid->addLayout(headings, 0, (cell * kFolderCellColumns) + 1, 1, 2);
  }
  for (int row = 0; row < 4; ++row) {
    for (int cell = 0; cell < 4; ++cell) {
      const std::string k = folderDigit(kFolderGrid[row][cell]);
      const int first = cell * kFolderCellColumns;
      grid->addWidget(binder.widget(pages::kFolderCheck.prefix + k, group), row + 1, first);
      QWidget* title = binder.widget(pages::kFolderTitle.prefix + k, group);
      QWidget* length = binder.widget(pages::kFolderLength.prefix + k, group);
      title->setFont(fixedFont());
      length->setFont(fixedFont());
      fitChars(title, 9);
      fitChars(length, 2);
      grid->addWidget(title, row + 1, first + 1);
      grid->addWidget(length, row + 1, first + 2, Qt::AlignLeft);
    }
  }
  // A wider window leaves the cells together, each under its headings.
  for (int cell = 0; cell < 3; ++cell) {
    grid->setColumnMinimumWidth((cell * kFolderCellColumns) + 3, kFolderCellGap);
  }
  grid->setColumnStretch(4 * kFolderCellColumns, 1);
  std::vector<QWidget*> focusOrder;
  for (const pages::FolderColumn& c : pages::kFolderColumns) {
    for (int k = 0; k < pages::kFolders; ++k)
      focusOrder.push_back(binder.widget(c.prefix + folderDigit(k), group));
  }
  chainFocus(focusOrder);
  return group;
}

}  // namespace

QWidget* buildAddressPage(ViewBinder& binder) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(buildAddressGroup(binder, page));
  layout->addWidget(buildFolderGroup(binder, page));
  // Beside the folders, under their last column: how many of the shared slots they take.
  auto* slotsUsed = new QLabel(page);
  slotsUsed->setObjectName(QStringLiteral("SlotsUsed"));
  layout->addWidget(slotsUsed, 0, Qt::AlignRight);
  layout->addStretch(1);
  return page;
}

}  // namespace ccp::qt
