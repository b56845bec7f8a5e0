#include "UPrincipal.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

#include "data/U_Biblioteca.h"
#include "kit/core/messages.h"
#include "kit/ui/jpeg.h"

static void initAppResources() {
    Q_INIT_RESOURCE(app);
}

namespace {

struct MenuEntry {
    const char* name;     // component name, the action's objectName
    const char* caption;  // exactly as shown
    const char* parent;   // submenu it belongs to; null for the menu bar
    const char* shortcut;
    bool submenu;
};

// The whole main menu, in order. "-" entries are separators.
const MenuEntry kMenu[] = {
    {"Controle_de_Acesso", "Controle de Acesso", nullptr, nullptr, true},
    {"Manutencao_de_Grupos", "Manutenção de Grupos", "Controle_de_Acesso", nullptr, false},
    {"Manutencao_de_Usuarios", "Manutenção de Usuários       ", "Controle_de_Acesso", nullptr,
     false},
    {"N1", "-", "Controle_de_Acesso", nullptr, false},
    {"Configura_Acesso_usuario", "Configura Acesso Usuário", "Controle_de_Acesso", nullptr, false},
    {"Cadastros_Base", "Cadastros Base", nullptr, nullptr, true},
    {"Cadastro_de_Recurso", "Recurso                       ", "Cadastros_Base", nullptr, false},
    {"Cadastro_de_Atividade", "Atividade", "Cadastros_Base", nullptr, false},
    {"Cadastro_de_Fornecedor", "Fornecedor", "Cadastros_Base", nullptr, false},
    {"N2", "-", "Cadastros_Base", nullptr, false},
    {"Cadastro_de_Localidade_Empenho", "Localidade Empenho", "Cadastros_Base", nullptr, false},
    {"Cadastro_de_Modalidade_Empenho", "Modalidade Empenho", "Cadastros_Base", nullptr, false},
    {"Secretarias1", "Secretarias", "Cadastros_Base", nullptr, false},
    {"FuncionarioDiarias", "Funcionarios", "Cadastros_Base", nullptr, false},
    {"N3", "-", "Cadastros_Base", nullptr, false},
    {"Cadastro_da_Prefeitura", "Cadastro da Prefeitura", "Cadastros_Base", nullptr, false},
    {"Movimento", "Lançamentos", nullptr, nullptr, true},
    {"Impressao_de_cheques_e_Lancamentos",
     "Impressão de Cheques - Manutenção de Lançamentos             ", "Movimento", "Ctrl+L", false},
    {"N4", "-", "Movimento", nullptr, false},
    {"Lancamentos_de_Despesas_Bancarias", "Lançamentos de Despesas Bancarias", "Movimento", nullptr,
     false},
    {"Lancamento_de_Creditos_Bancarios", "Lançamentos de Creditos Bancarios", "Movimento", nullptr,
     false},
    {"Lancamentos_de_Transferencias_Bancarias", "Lançamentos de Transferencias Bancarias",
     "Movimento", nullptr, false},
    {"N5", "-", "Movimento", nullptr, false},
    {"Baixa_de_Lancamentos_do_Recursos", "Conciliação Bancaria", "Movimento", nullptr, false},
    {"N6", "-", "Movimento", nullptr, false},
    {"Manutencao_de_Empenhos", "Manutenção de Empenhos", "Movimento", "Ctrl+E", false},
    {"ManutenodeContratos1", "Manutenção de Contratos", "Movimento", nullptr, false},
    {"Manutencao_de_Notas", "Manutenção de Notas", "Movimento", nullptr, false},
    {"N7", "-", "Movimento", nullptr, false},
    {"Manutencao_de_Avisos", "Manutenção de Avisos", "Movimento", nullptr, false},
    {"N8", "-", "Movimento", nullptr, false},
    {"Solicitacao_de_Diarias", "Solicitação de Diarias", "Movimento", nullptr, false},
    {"Relatorios", "Relatórios  ", nullptr, nullptr, true},
    {"Relatorio_da_Tesouraria", "Tesouraria", "Relatorios", nullptr, true},
    {"Lancamentos_por_Fornecedor", "Lançamentos por Fornecedor", "Relatorio_da_Tesouraria", nullptr,
     false},
    {"Lancamentos_por_Atividade", "Lançamentos por Atividade", "Relatorio_da_Tesouraria", nullptr,
     false},
    {"Lancamentos_por_Recursos", "Lançamentos por Recurso", "Relatorio_da_Tesouraria", nullptr,
     false},
    {"N9", "-", "Relatorio_da_Tesouraria", nullptr, false},
    {"Lancamentos_Analitico", "Lançamentos Analítico", "Relatorio_da_Tesouraria", nullptr, false},
    {"N10", "-", "Relatorio_da_Tesouraria", nullptr, false},
    {"Saldo_de_Recursos", "Saldo de Recursos", "Relatorio_da_Tesouraria", nullptr, false},
    {"Relatorio_Pagamentos_por_Fornecedor", "Pagamentos por Fornecedor", "Relatorios", nullptr,
     false},
    {"Relatorio_de_Empenhos_e_Contratos", "Empenhos/Contratos", "Relatorios", nullptr, false},
    {"Relatorio_de_Notas_Com_Pendencias", "Notas Com Pendências", "Relatorios", nullptr, false},
    {"N11", "-", "Relatorios", nullptr, false},
    {"Relatorio_Recibos", "Recibos", "Relatorios", nullptr, true},
    {"Notas_a_Enviar_Contabilidade", "Notas a Enviar Contabilidade (C. Interno)",
     "Relatorio_Recibos", nullptr, false},
    {"Contratos_a_Enviar_Contabilidade", "Contratos a Enviar Contabilidade (C. Interno)",
     "Relatorio_Recibos", nullptr, false},
    {"N12", "-", "Relatorio_Recibos", nullptr, false},
    {"Empenhos_a_Enviar_Tesouraria", "Empenhos a Enviar Tesouraria (Contabilidade)",
     "Relatorio_Recibos", nullptr, false},
    {"Empenhos_a_Enviar_Contabilidade", "Empenhos a Enviar Contabilidade (Tesouraria)",
     "Relatorio_Recibos", nullptr, false},
    {"N13", "-", "Relatorios", nullptr, false},
    {"Graficos", "Gráficos", "Relatorios", nullptr, true},
    {"Garfico_Comparativo_de_Despesas_geral", "Gráfico Comparativo de Despesas Geral", "Graficos",
     nullptr, false},
    {"Garfico_Comparativo_de_Despesas_por_Atividade",
     "Gráfico Comparativo de Despesas por Atividade", "Graficos", nullptr, false},
    {"Garfico_Comparativo_de_Despesas_por_Fornecedor",
     "Gráfico Comparativo de Despesas por Fornecedor", "Graficos", nullptr, false},
    {"Garfico_Comparativo_de_Despesas_por_Recurso", "Gráfico Comparativo de Despesas por Recurso",
     "Graficos", nullptr, false},
    {"N14", "-", "Graficos", nullptr, false},
    {"Garfico_Comparativo_de_Receitas_por_Recurso", "Gráfico Comparativo de Receitas por Recurso",
     "Graficos", nullptr, false},
    {"Garfico_Comparativo_de_Receitas", "Gráfico Comparativo de Receitas", "Graficos", nullptr,
     false},
    {"N15", "-", "Graficos", nullptr, false},
    {"Garfico_Comparativo_Analitico", "Gráfico Comparativo Analítico", "Graficos", nullptr, false},
    {"N16", "-", "Relatorios", nullptr, false},
    {"ContasaPagar1", "Contas a Pagar", "Relatorios", nullptr, false},
    {"Configuracao", "Configuração", nullptr, nullptr, true},
    {"Configuracao_Backup", "Configuração de Backup", "Configuracao", nullptr, false},
    {"Sabre", "Sobre", nullptr, nullptr, true},
    {"Equipe", "Equipe de Desenvolvimento           ", "Sabre", nullptr, false},
    {"Sair", "Sair", nullptr, nullptr, true},
    {"N17", "-", "Sair", nullptr, false},
    {"Sair_", "Sair", "Sair", nullptr, false},
    {"N18", "-", "Sair", nullptr, false},
};

QStyle::StandardPixmap iconFor(const QString& topMenu) {
    if (topMenu == QLatin1String("Controle_de_Acesso"))
        return QStyle::SP_DialogYesButton;
    if (topMenu == QLatin1String("Cadastros_Base"))
        return QStyle::SP_FileDialogDetailedView;
    if (topMenu == QLatin1String("Movimento"))
        return QStyle::SP_FileDialogContentsView;
    if (topMenu == QLatin1String("Relatorios"))
        return QStyle::SP_FileIcon;
    if (topMenu == QLatin1String("Configuracao"))
        return QStyle::SP_DriveHDIcon;
    if (topMenu == QLatin1String("Sabre"))
        return QStyle::SP_MessageBoxInformation;
    return QStyle::SP_DialogCloseButton;
}

// The client area: white, with the background picture drawn whole and centred in
// whatever part of the window it has (over the picture stretched to the edges, so
// the bands beside it continue its colours).
class AreaCliente : public QMdiArea {
public:
    explicit AreaCliente(QWidget* parent) : QMdiArea(parent) {}

    void setPicture(const QImage& picture) {
        picture_ = picture;
        scaled_ = {};
        viewport()->update();
    }
    bool hasPicture() const { return !picture_.isNull(); }

    QRect pictureRect() const {
        if (picture_.isNull())
            return {};
        const QRect area = viewport()->rect();
        QRect r(QPoint(0, 0), picture_.size().scaled(area.size(), Qt::KeepAspectRatio));
        r.moveCenter(area.center());
        return r;
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(viewport());
        p.fillRect(event->rect(), Qt::white);
        if (picture_.isNull())
            return;
        const QRect r = pictureRect();
        if (scaled_.size() != viewport()->size()) {
            scaled_ = QPixmap(viewport()->size());
            QPainter sp(&scaled_);
            sp.setRenderHint(QPainter::SmoothPixmapTransform);
            sp.drawImage(scaled_.rect(), picture_);
            sp.drawImage(r, picture_);
        }
        p.drawPixmap(event->rect(), scaled_, event->rect());
    }

private:
    QImage picture_;
    QPixmap scaled_;
};

// The text's width plus the frame and a little air on each side.
int panelWidth(const QLabel* label, int atLeast) {
    const int frame = label->frameWidth() * 2;
    return std::max(atLeast, label->fontMetrics().horizontalAdvance(label->text()) + frame + 12);
}

}  // namespace

QString TextoErroGeral(const QString& message) {
    return message + QStringLiteral("\n\n") + QStringLiteral("   Suporte técnico: ") +
           QStringLiteral("\n") +
           QStringLiteral("Equipe de informática da Prefeitura - Sistema de Tesouraria");
}

const QColor& TFrmPrincipal::corRealce() {
    static const QColor c(0xFF, 0xFF, 0xB0);  // $00B0FFFF, pale yellow
    return c;
}

TFrmPrincipal::TFrmPrincipal(kit::Database& db, QWidget* parent)
    : QMainWindow(parent), db_(db), contexto_(db) {
    setObjectName(QStringLiteral("FrmPrincipal"));
    setWindowTitle(QStringLiteral("qxTALOR"));
    // The client area under a strip of its own for the user labels, which then show
    // whatever the window's width and whether a child is maximised.
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Pn_Central"));
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    mdi_ = new AreaCliente(central);
    mdi_->setObjectName(QStringLiteral("ClientArea"));
    mdi_->setAccessibleName(QStringLiteral("Área de trabalho"));
    setCentralWidget(central);
    buildMenu();
    buildStatusBar();
    buildUserLabels();
    centralLayout->addWidget(mdi_, 1);
    loadBackground();

    connect(qApp, &QApplication::focusChanged, this, &TFrmPrincipal::RealcaControleAtivo);

    contexto_.abreTabelasGerais();
    FrmPrincipal = this;
}

TFrmPrincipal::~TFrmPrincipal() {
    disconnect(qApp, &QApplication::focusChanged, this, &TFrmPrincipal::RealcaControleAtivo);
    if (FrmPrincipal == this)
        FrmPrincipal = nullptr;
}

void TFrmPrincipal::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QHash<QString, QMenu*> menus;
    QHash<QString, QString> topOf;
    for (const MenuEntry& e : kMenu) {
        const QString name = QString::fromLatin1(e.name);
        const QString caption = QString::fromUtf8(e.caption);
        const QString parentName = e.parent ? QString::fromLatin1(e.parent) : QString();
        const QString top = parentName.isEmpty() ? name : topOf.value(parentName);
        topOf.insert(name, top);
        if (e.submenu) {
            QMenu* menu = parentName.isEmpty() ? bar->addMenu(caption)
                                               : menus.value(parentName)->addMenu(caption);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            if (!parentName.isEmpty())
                menu->setIcon(style()->standardIcon(iconFor(top)));
            menus.insert(name, menu);
            continue;
        }
        QMenu* parentMenu = menus.value(parentName);
        QAction* action = nullptr;
        if (caption == QLatin1String("-")) {
            action = parentMenu->addSeparator();
        } else {
            action = parentMenu->addAction(style()->standardIcon(iconFor(top)), caption);
            if (e.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut)));
            action->setEnabled(false);  // until its screen is registered
            connect(action, &QAction::triggered, this, [this, name] { openScreen(name); });
        }
        action->setObjectName(name);
        actions_.insert(name, action);
    }
    // Entries that need no screen of their own.
    QAction* sair = actions_.value(QStringLiteral("Sair_"));
    sair->setEnabled(true);
    disconnect(sair, &QAction::triggered, this, nullptr);
    connect(sair, &QAction::triggered, this, &QWidget::close);
    registerScreen(
        QStringLiteral("Equipe"), ScreenKind::Modal, [](TFrmPrincipal& main) -> QWidget* {
            auto* box = new QDialog(&main);
            box->setObjectName(QStringLiteral("FrmSobre"));
            box->setWindowTitle(QStringLiteral("Sobre"));
            auto* layout = new QVBoxLayout(box);
            auto* text = new QLabel(
                QStringLiteral("<h3>qxTALOR - Sistema de Tesouraria</h3>"
                               "<p>Controle de recursos, cheques, empenhos, notas e contratos "
                               "da Prefeitura Municipal.</p>"
                               "<p>Equipe de Desenvolvimento do Sistema de Tesouraria</p>"),
                box);
            text->setWordWrap(true);
            layout->addWidget(text);
            auto* ok = new QPushButton(QStringLiteral("OK"), box);
            QObject::connect(ok, &QPushButton::clicked, box, &QDialog::accept);
            layout->addWidget(ok, 0, Qt::AlignRight);
            return box;
        });
}

void TFrmPrincipal::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    struct Panel {
        const char* text;
        int width;
        bool centred;
    };
    const Panel panels[] = {{"Utilize as seguintes Teclas de Atalho p/ as operações", 330, false},
                            {"<F4> Inserir", 90, true},
                            {"<F5> Alterar", 90, true},
                            {"<F6> Deletar", 90, true},
                            {"<F7> Gravar", 90, true},
                            {"<F8> Cancelar", 90, true},
                            {"", 50, false}};
    int i = 0;
    int total = 0;
    for (const Panel& p : panels) {
        auto* label = new QLabel(QString::fromUtf8(p.text), bar);
        label->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i++));
        label->setAlignment(p.centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
        if (i > 1)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // At least the stated width, and never narrower than its text.
        label->setFixedWidth(panelWidth(label, p.width));
        label->setAccessibleName(label->text());
        bar->addWidget(label);
        total += label->width() + bar->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing) + 6;
    }
    // The panels never overlap: the window is never narrower than they are.
    setMinimumWidth(total + 16);
}

void TFrmPrincipal::buildUserLabels() {
    auto* corner = new QFrame(centralWidget());
    corner->setObjectName(QStringLiteral("Pn_Usuario"));
    corner->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    auto* layout = new QHBoxLayout(corner);
    layout->setContentsMargins(8, 1, 8, 1);
    layout->addStretch();
    image_GR_ = new QLabel(corner);
    image_GR_->setObjectName(QStringLiteral("image_GR"));
    image_GR_->setPixmap(style()->standardIcon(QStyle::SP_DialogYesButton).pixmap(16, 16));
    lb_nome_ = new QLabel(corner);
    lb_nome_->setObjectName(QStringLiteral("lb_nome"));
    Lb_nome1_ = new QLabel(corner);
    Lb_nome1_->setObjectName(QStringLiteral("Lb_nome1"));
    lb_logado_ = new QLabel(corner);
    lb_logado_->setObjectName(QStringLiteral("lb_logado"));
    Lb_logado1_ = new QLabel(corner);
    Lb_logado1_->setObjectName(QStringLiteral("Lb_logado1"));
    for (QLabel* l : {image_GR_, lb_nome_, Lb_nome1_, lb_logado_, Lb_logado1_}) {
        layout->addWidget(l);
        l->setVisible(false);
    }
    Lb_nome1_->setVisible(true);
    Lb_logado1_->setVisible(true);
    lb_logado_->setContentsMargins(12, 0, 0, 0);
    static_cast<QVBoxLayout*>(centralWidget()->layout())->addWidget(corner);
}

void TFrmPrincipal::loadBackground() {
    initAppResources();
    QFile file(QStringLiteral(":/app/fundo.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QImage picture = kit::decodeJpeg(file.readAll());
    if (picture.isNull())
        return;
    static_cast<AreaCliente*>(mdi_)->setPicture(picture);
    mdi_->setProperty("Image1", true);
}

QRect TFrmPrincipal::backgroundRect() const {
    return static_cast<const AreaCliente*>(mdi_)->pictureRect();
}

void TFrmPrincipal::MostraUsuarioLogado() {
    lb_nome_->setVisible(true);
    lb_logado_->setVisible(true);
    lb_nome_->setText(QStringLiteral("Usuário:  "));
    Lb_nome1_->setText(QStringLiteral("» ") + contexto_.usuario.nome);
    image_GR_->setVisible(true);
    lb_logado_->setText(QStringLiteral("Logado Desde: "));
    Lb_logado1_->setText(QStringLiteral("» ") +
                         QDateTime::currentDateTime().toString(QStringLiteral("hh:mm  dd/MM/yy")));
}

// ---------------------------------------------------------------- screens

void TFrmPrincipal::registerScreen(const QString& menuEntry, ScreenKind kind,
                                   ScreenFactory factory) {
    screens_.insert(menuEntry, Screen{kind, std::move(factory), nullptr});
    if (QAction* a = actions_.value(menuEntry))
        a->setEnabled(true);
}

QWidget* TFrmPrincipal::screenInstance(const QString& menuEntry) const {
    const auto it = screens_.constFind(menuEntry);
    return it == screens_.constEnd() ? nullptr : it->instance.data();
}

QWidget* TFrmPrincipal::openScreen(const QString& menuEntry) {
    auto it = screens_.find(menuEntry);
    if (it == screens_.end())
        return nullptr;
    Screen& screen = *it;
    if (!screen.instance) {
        QWidget* w = screen.factory(*this);
        if (!w)
            return nullptr;
        screen.instance = w;
        w->setAttribute(Qt::WA_DeleteOnClose, screen.kind != ScreenKind::Modal);
        if (screen.kind == ScreenKind::Child) {
            QMdiSubWindow* sub = mdi_->addSubWindow(w);
            sub->setAttribute(Qt::WA_DeleteOnClose);
            sub->setObjectName(w->objectName() + QStringLiteral("_Janela"));
            // The frame goes with its screen, however the screen was closed (its own
            // buttons close only the screen). Queued: the screen is still being
            // destroyed when it says so.
            connect(w, &QObject::destroyed, sub, &QWidget::close, Qt::QueuedConnection);
        } else if (screen.kind == ScreenKind::Window) {
            w->setParent(this, Qt::Window);
        }
    }
    QWidget* w = screen.instance;
    if (screen.kind == ScreenKind::Modal) {
        if (auto* dialog = qobject_cast<QDialog*>(w)) {
            dialog->exec();
        }
        delete screen.instance.data();  // freed when it closes
        return nullptr;
    }
    if (screen.kind == ScreenKind::Child) {
        for (QMdiSubWindow* sub : mdi_->subWindowList())
            if (sub->widget() == w) {
                if (w->property("abreMaximizada").toBool())
                    sub->showMaximized();
                else
                    sub->show();
                mdi_->setActiveSubWindow(sub);
            }
        w->show();
    } else {
        w->show();
        w->raise();
        w->activateWindow();
    }
    return w;
}

void TFrmPrincipal::closeEvent(QCloseEvent* event) {
    bool open = false;
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (sub->widget())  // a frame whose screen is gone is about to close
            open = true;
    for (const Screen& s : std::as_const(screens_))
        if (s.kind == ScreenKind::Window && s.instance && s.instance->isVisible())
            open = true;
    if (open) {
        kit::messages().information(
            QStringLiteral("ATENÇÃO : Existe(m) uma ou mais janelas abertas no momento !!!") +
            QStringLiteral("\n") +
            QStringLiteral("Feche todas as janelas antes de encerrar a execução do Sistema ?"));
        event->ignore();
        return;
    }
    if (FrmPrincipal == this)
        FrmPrincipal = nullptr;
    event->accept();
}

// ---------------------------------------------------------------- focus highlighting

bool TFrmPrincipal::recebeRealce(const QWidget* w) {
    if (!w)
        return false;
    // Never buttons, grids, windows, group boxes, panels, navigators, memos or check lists.
    if (qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
        qobject_cast<const QGroupBox*>(w) || qobject_cast<const QTextEdit*>(w) ||
        qobject_cast<const QPlainTextEdit*>(w) || w->isWindow())
        return false;
    // The input controls that have a colour of their own.
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QComboBox*>(w);
}

namespace {

void paint(QWidget* w, const QColor& color) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, color);
    if (qobject_cast<QComboBox*>(w))
        p.setColor(QPalette::Button, color);
    w->setPalette(p);
}

// A line edit inside a combo box or spin box stands for its owner.
QWidget* owningControl(QWidget* w) {
    if (!w)
        return nullptr;
    if (qobject_cast<QLineEdit*>(w) && w->parentWidget() &&
        (qobject_cast<QComboBox*>(w->parentWidget()) ||
         qobject_cast<QAbstractSpinBox*>(w->parentWidget())))
        return w->parentWidget();
    return w;
}

}  // namespace

void TFrmPrincipal::RealcaControleAtivo(QWidget* /*previous*/, QWidget* now) {
    now = owningControl(now);
    if (now && now == lastFocus_ && now == realcado_)
        return;
    QWidget* previous = lastFocus_.data();
    lastFocus_ = now;
    // Only the focused box is highlighted: the one that had the colour loses it,
    // also when the focus went nowhere (its panel was disabled under it).
    if (previous && previous != now && recebeRealce(previous))
        paint(previous, Qt::white);
    if (realcado_ && realcado_ != now) {
        realcado_->removeEventFilter(this);
        paint(realcado_, Qt::white);
        realcado_.clear();
    }
    if (now && now != realcado_ && recebeRealce(now) && now->isEnabled()) {
        paint(now, corRealce());
        realcado_ = now;
        now->installEventFilter(this);
    }
}

bool TFrmPrincipal::eventFilter(QObject* watched, QEvent* event) {
    // A highlighted box that becomes disabled (itself or a panel around it) or is
    // hidden, keeping the focus or not, goes back to white.
    if (watched == realcado_ &&
        ((event->type() == QEvent::EnabledChange && !realcado_->isEnabled()) ||
         event->type() == QEvent::Hide)) {
        realcado_->removeEventFilter(this);
        paint(realcado_, Qt::white);
        realcado_.clear();
    }
    return QMainWindow::eventFilter(watched, event);
}
