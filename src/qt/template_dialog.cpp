// Table dialogs laid out from their templates.

#include "qt/template_dialog.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "qt/qt_frame.h"
#include "qt/qt_platform.h"
#include "resources/resource_ids.h"

namespace qtui {

namespace {

QString FromUtf8(const char* text) { return QString::fromUtf8(text != nullptr ? text : ""); }

QRect ToPixels(const resources::DialogRect& rect, int baseX, int baseY) {
  const resources::DialogRect px = resources::DialogUnitsToPixels(rect, baseX, baseY);
  return QRect(px.x, px.y, px.width, px.height);
}

}  // namespace

TemplateDialog::TemplateDialog(const resources::DialogTemplate& layout,
                               resources::Language language, platform::DialogModel& model,
                               QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(FromUtf8(layout.Title(language)));
  setModal(true);
  // Base units of the dialog font: the average width of the letters and the line height.
  const QFontMetrics metrics(font());
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int baseX = std::max(1, (metrics.horizontalAdvance(letters) / 26 + 1) / 2);
  const int baseY = std::max(1, metrics.height());

  std::map<int, QWidget*> byId;
  std::vector<std::pair<QLabel*, int>> buddies;
  for (const resources::DialogControl& control : layout.controls) {
    QWidget* widget = nullptr;
    switch (control.kind) {
      case resources::ControlKind::Static: {
        auto* label = new QLabel(FromUtf8(control.Text(language)), this);
        label->setWordWrap((control.style & resources::kStyleWordWrap) != 0);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (control.buddy != 0) buddies.emplace_back(label, control.buddy);
        widget = label;
        break;
      }
      case resources::ControlKind::Edit: {
        auto* edit = new QLineEdit(this);
        std::size_t limit = model_.TextLimit(control.id);
        if (limit == 0 && control.maxLength > 0)
          limit = static_cast<std::size_t>(control.maxLength);
        if (limit > 0) edit->setMaxLength(static_cast<int>(limit));
        edit->setFrame((control.style & resources::kStyleBorder) != 0);
        edits_[control.id] = edit;
        const int id = control.id;
        // A person's change reaches the model at once, as the dialog's logic expects.
        connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
          if (reading_) return;
          model_.SetControlText(id, text.toStdString());
          model_.OnCommand(id);
          ReadFromModel();
        });
        widget = edit;
        break;
      }
      case resources::ControlKind::ListBox: {
        auto* list = new QListWidget(this);
        lists_[control.id] = list;
        if (control.style & resources::kStyleNotify) {
          const int id = control.id;
          connect(list, &QListWidget::currentRowChanged, this, [this, id](int row) {
            if (reading_) return;
            model_.SetListSelection(id, row);
            Command(id);
          });
        }
        widget = list;
        break;
      }
      case resources::ControlKind::Button: {
        auto* button = new QPushButton(FromUtf8(control.Text(language)), this);
        button->setAutoDefault(false);
        button->setDefault((control.style & resources::kStyleDefaultButton) != 0);
        const int id = control.id;
        connect(button, &QPushButton::clicked, this, [this, id] {
          if (id == resources::kCtlOk)
            accept();
          else if (id == resources::kCtlCancel)
            reject();
          else
            Command(id);
        });
        widget = button;
        break;
      }
    }
    widget->setGeometry(ToPixels(control.rect, baseX, baseY));
    if (!(control.style & resources::kStyleTabStop) &&
        control.kind != resources::ControlKind::Static)
      widget->setFocusPolicy(Qt::ClickFocus);
    if (control.id != resources::kCtlStatic) byId[control.id] = widget;
  }
  for (auto [label, buddy] : buddies)
    if (auto it = byId.find(buddy); it != byId.end()) label->setBuddy(it->second);
  widgets_ = std::move(byId);
  setFixedSize(ToPixels({0, 0, layout.width, layout.height}, baseX, baseY).size());
  model_.OnInitDialog();
  ReadFromModel();
  if (model_.FocusControl() == 0 && !edits_.empty()) edits_.begin()->second->setFocus();
}

QLineEdit* TemplateDialog::Edit(int id) const {
  auto it = edits_.find(id);
  return it == edits_.end() ? nullptr : it->second;
}

QListWidget* TemplateDialog::List(int id) const {
  auto it = lists_.find(id);
  return it == lists_.end() ? nullptr : it->second;
}

void TemplateDialog::ReadFromModel() {
  reading_ = true;
  for (auto& [id, edit] : edits_) {
    const QString text = QString::fromStdString(model_.GetControlText(id));
    if (edit->text() != text) edit->setText(text);
  }
  for (auto& [id, list] : lists_) {
    list->clear();
    for (const std::string& item : model_.ListItems(id))
      list->addItem(QString::fromStdString(item));
    list->setCurrentRow(model_.ListSelection(id));
  }
  for (auto& [id, widget] : widgets_) widget->setEnabled(model_.IsControlEnabled(id));
  if (auto it = widgets_.find(model_.FocusControl()); it != widgets_.end()) it->second->setFocus();
  reading_ = false;
}

void TemplateDialog::WriteToModel() {
  for (auto& [id, edit] : edits_) model_.SetControlText(id, edit->text().toStdString());
}

void TemplateDialog::Command(int id) {
  WriteToModel();
  model_.OnCommand(id);
  ReadFromModel();
}

void TemplateDialog::accept() {
  WriteToModel();
  if (!model_.OnOK()) {
    ReadFromModel();
    return;
  }
  QDialog::accept();
}

void TemplateDialog::reject() {
  model_.OnCancel();
  QDialog::reject();
}

int QtTableDialogs::RunModal(CWnd* parent, platform::DialogModel& dialog) {
  const resources::DialogTemplate* layout =
      resources::FindDialog(static_cast<int>(dialog.TemplateId()));
  if (layout == nullptr) {
    dialog.OnCancel();
    return 2;
  }
  TemplateDialog window(*layout, resources::LanguageFor(language_), dialog, WidgetOfWindow(parent));
  return window.exec() == QDialog::Accepted ? 1 : 2;
}

}  // namespace qtui
