#pragma once

#include <QCheckBox>

// A three-state attribute rule box. Qt cycles a tristate box unchecked ->
// partial -> checked; the rule boxes cycle Filter (clear) -> Select (ticked) ->
// Don't care (greyed), so each click sets the next rule itself.
namespace kestrel::ui {

class AttributeCheckBox : public QCheckBox {
    Q_OBJECT
  public:
    AttributeCheckBox(const QString& text, QWidget* parent = nullptr);

    /// 0 Filter, 1 Select, 2 Don't care.
    int Rule() const;
    void SetRule(int rule);

  protected:
    void nextCheckState() override;
    /// "Don't care" is drawn as a dash in an empty box, the usual look of a
    /// partly checked box, rather than the filled square some styles draw.
    void paintEvent(QPaintEvent* event) override;

  private:
    // Guards against the box's own state change being taken as another click.
    bool settingRule_ = false;
};

}  // namespace kestrel::ui
