#pragma once

// Boxes that show a file path: a path longer than the box loses its middle rather
// than its file name (the start of the folder and the file name stay), and its
// tooltip holds the whole path. text() is always the whole path.

#include <QLabel>
#include <QLineEdit>

namespace veldra {

// An edit box: while it has the focus it shows and edits the whole text as usual.
class TPathEdit : public QLineEdit {
  public:
    explicit TPathEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}
    // What the box shows when it has no focus.
    QString ShownText() const;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect TextRect() const;
};

class TPathLabel : public QLabel {
  public:
    explicit TPathLabel(QWidget* parent = nullptr) : QLabel(parent) {}
    QString ShownText() const;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace veldra
