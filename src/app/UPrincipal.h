#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "data/contexto.h"
#include "kit/db/database.h"
#include "kit/db/dataset.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;

// The main window: the MDI parent that owns the connection, the menu, the shared
// data sets and the services the screens call.
class TFrmPrincipal : public QMainWindow {
    Q_OBJECT
public:
    // How a screen opens from its menu entry.
    enum class ScreenKind { Child, Window, Modal };
    using ScreenFactory = std::function<QWidget*(TFrmPrincipal&)>;

    explicit TFrmPrincipal(kit::Database& db, QWidget* parent = nullptr);
    ~TFrmPrincipal() override;

    // What the screens are given: the connection, the user, the settings rows, the
    // history writer, the messages.
    Contexto& contexto() { return contexto_; }
    kit::Database& DB_ZEL() { return db_; }
    kit::DataSet& tb_geral() { return contexto_.tb_geral(); }
    kit::DataSet& tb_Empresa() { return contexto_.tb_Empresa(); }
    void RegistraHistorico(const QString& tipo, int cdlanc) {
        contexto_.RegistraHistorico(tipo, cdlanc);
    }
    void AvisoCamposObrigatorios(const QString& lista) { contexto_.AvisoCamposObrigatorios(lista); }
    // Shows who is logged in and since when.
    void MostraUsuarioLogado();

    // The screens the menu opens, registered by name of their menu entry. An entry
    // with a screen is enabled; one without stays disabled.
    void registerScreen(const QString& menuEntry, ScreenKind kind, ScreenFactory factory);
    // Opens the entry's screen: created on first use, then shown and brought forward.
    // Returns the screen (for a modal dialog, after it closed, null).
    QWidget* openScreen(const QString& menuEntry);
    // The open instance of an entry's screen, if any.
    QWidget* screenInstance(const QString& menuEntry) const;
    QMdiArea* mdiArea() const { return mdi_; }
    // Where the background picture is drawn: the whole picture, centred in the MDI
    // area's client area (viewport coordinates).
    QRect backgroundRect() const;

    // Applies the focus highlighting rule to one move of the keyboard focus.
    void RealcaControleAtivo(QWidget* previous, QWidget* now);
    static const QColor& corRealce();

    // True when the control takes the highlight (an input control with a colour).
    static bool recebeRealce(const QWidget* w);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    void buildStatusBar();
    void buildUserLabels();
    void loadBackground();
    void showAbout();

    kit::Database& db_;
    Contexto contexto_;
    QMdiArea* mdi_ = nullptr;
    QLabel* lb_nome_ = nullptr;
    QLabel* Lb_nome1_ = nullptr;
    QLabel* lb_logado_ = nullptr;
    QLabel* Lb_logado1_ = nullptr;
    QLabel* image_GR_ = nullptr;
    QPointer<QWidget> lastFocus_;
    QPointer<QWidget> realcado_;  // the one box painted in the highlight colour
    struct Screen {
        ScreenKind kind;
        ScreenFactory factory;
        QPointer<QWidget> instance;
    };
    QHash<QString, Screen> screens_;
    QHash<QString, QAction*> actions_;
};

// The main window while the program runs (cleared when it closes).
inline TFrmPrincipal* FrmPrincipal = nullptr;

// The text of the application-wide error box for an unexpected error.
QString TextoErroGeral(const QString& message);
