#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>
#include <QWidget>
#include <functional>

class QAbstractButton;
class QBoxLayout;
class QKeyEvent;
class QPushButton;

namespace kit {

class DataSet;

// The browse / insert / edit cycle of a screen over one data set, written once for
// every screen that edits rows: which commands are available in each state, the
// buttons that show them, the keys F4 to F8, the data panel that is enabled only
// while editing, the controls that work only while browsing, the question before a
// change is thrown away, and where the keyboard focus goes after every change of
// state.
class EditState : public QObject {
    Q_OBJECT
public:
    enum class Command { Insert, Edit, Delete, Save, Cancel, First, Prior, Next, Last, Close };

    EditState(DataSet* dataSet, QWidget* screen);

    DataSet* dataSet() const { return ds_; }
    bool editing() const;

    // What a command does; its buttons run it when clicked.
    void setAction(Command command, std::function<void()> action);
    void addButton(Command command, QAbstractButton* button);
    // The navigator's buttons, in their order, with their captions and hints
    // ("Inserir" ... "Último", then "Sair" when asked), added to the layout and bound
    // to their commands; the movement buttons only when asked. By object name.
    QHash<QString, QPushButton*> addNavigator(QWidget* bar, QBoxLayout* layout, bool movement,
                                              bool close);
    // A key that runs something else than its command (F4 on the entry screen).
    void setKeyAction(int key, std::function<void()> action);

    // Enabled while editing only.
    void setDataPanel(QWidget* panel) { dataPanel_ = panel; }
    // Enabled while browsing only (the list, a chooser that reloads it).
    void addBrowseWidget(QWidget* widget) { browseWidgets_.append(widget); }
    // Where the focus goes: on entering an edit, and back in browse (the first of the
    // candidates that can take it; else the first control of the screen that can).
    void setEditFocus(std::function<QWidget*()> editFocus) { editFocus_ = std::move(editFocus); }
    void setBrowseFocus(std::function<QVector<QWidget*>()> candidates) {
        browseFocus_ = std::move(candidates);
    }

    // False while the commands are not yet offered at all (the entry screen before a
    // resource is chosen): every button and key is off.
    void setAvailable(bool on);
    bool available() const { return available_; }
    // The state a maintenance screen opens in: save, cancel and the movement buttons
    // off until the first save or cancel.
    void setOpening(bool on) { opening_ = on; }

    // Puts the buttons, the panel and the browse controls in step with the data set
    // and moves the focus to where it belongs. Called after every command.
    void update();
    // Runs a command as its button does, when that command is available now.
    bool run(Command command);
    bool enabled(Command command) const;
    // The keys F4 to F8: true when the key was one of them (handled or ignored).
    bool handleKey(QKeyEvent* event);

    // While editing, asks whether to throw the change away; true when nothing is
    // pending or the operator said Yes.
    bool confirmAbandon() const;
    static QString abandonQuestion();

    // Moves the focus to w when it can take it; else to the first control of the
    // screen that can. Never leaves it on a disabled or hidden control.
    static void placeFocus(QWidget* screen, QWidget* preferred);
    static bool canTakeFocus(const QWidget* w);

private:
    DataSet* ds_;
    QWidget* screen_;
    QHash<int, std::function<void()>> actions_;
    QHash<int, QVector<QPointer<QAbstractButton>>> buttons_;
    QHash<int, std::function<void()>> keyActions_;
    QPointer<QWidget> dataPanel_;
    QVector<QPointer<QWidget>> browseWidgets_;
    std::function<QWidget*()> editFocus_;
    std::function<QVector<QWidget*>()> browseFocus_;
    bool available_ = true;
    bool opening_ = false;
    bool wasEditing_ = false;
};

}  // namespace kit
