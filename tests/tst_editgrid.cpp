// The editable grid: its keys, its cells and when it posts the row.

#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>
#include <QtTest>

#include "kit/core/messages.h"
#include "kit/ui/widgets/editgrid.h"
#include "kit/ui/widgets/lookup.h"
#include "testdb.h"

using kit::Money;

namespace {

// Columns of the test grid.
constexpr int cMarcar = 0, cNota = 1, cBruto = 2, cCheque = 3, cAtividade = 4, cVenc = 5,
              cImpresso = 6, cHistorico = 7;

QString textOf(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return QString();
    if (v.metaType() == QMetaType::fromType<Money>())
        return v.value<Money>().toPlain();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    return v.toString();
}

}  // namespace

class TstEditGrid : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void enterAndDown_data();
    void enterAndDown();
    void appendHooks();
    void postOnRowChange_data();
    void postOnRowChange();
    void postRuleDeletesRow_data();
    void postRuleDeletesRow();
    void checkBox_data();
    void checkBox();
    void cellEditing_data();
    void cellEditing();
    void lookupFromList();
    void escape();
    void editorSurvivesInsertAndRemove();
    void contextMenu_data();
    void contextMenu();

private:
    // F2 on a cell; the widget that takes the editor's keys.
    QWidget* openEditor(int row, int column);
    QAbstractItemModel* model() const { return grid_->model(); }
    QString field(int column) const { return grid_->columns()[column].field; }

    std::unique_ptr<TestDatabase> t_;
    std::unique_ptr<kit::Database> db_;
    kit::RecordingMessageService* messages_ = nullptr;
    std::unique_ptr<QWidget> window_;
    kit::DataSet* atividades_ = nullptr;
    kit::DataSet* ds_ = nullptr;
    kit::EditGrid* grid_ = nullptr;
    QLineEdit* other_ = nullptr;
};

void TstEditGrid::initTestCase() {
    QVERIFY_DB(t_ = TestDatabase::embedded());
    db_ = t_->database();
    for (const char* sql : {
             "INSERT INTO ATIVIDADE (CDATIVIDADE, NOME) VALUES (1, 'AGUA')",
             "INSERT INTO ATIVIDADE (CDATIVIDADE, NOME) VALUES (2, 'LUZ ELETRICA')",
             "INSERT INTO ATIVIDADE (CDATIVIDADE, NOME) VALUES (3, 'LUZ')",
             "INSERT INTO CHEQUE (CD, NUMNOTA, VALORBRUTO, NUMCHEQUE, CDATIVIDADE, DTVENC, ACAO, "
             "IMPRESSO, DESCRICAO) VALUES (1, '10', 500, 1001, 1, DATE '2026-12-01', 'S', 'N', "
             "'ALUGUEL')",
             "INSERT INTO CHEQUE (CD, NUMNOTA, VALORBRUTO, NUMCHEQUE, CDATIVIDADE, DTVENC, ACAO, "
             "IMPRESSO, DESCRICAO) VALUES (2, '11', 200, 1002, 2, DATE '2026-12-02', 'N', 'S', "
             "'LUZ')",
             "INSERT INTO CHEQUE (CD, NUMNOTA, VALORBRUTO, NUMCHEQUE, CDATIVIDADE, DTVENC, ACAO, "
             "IMPRESSO, DESCRICAO) VALUES (3, '12', 300, 1003, NULL, DATE '2026-12-03', 'S', "
             "'N', 'AGUA')",
         })
        QVERIFY_DB(db_->execute(QString::fromLatin1(sql)));
    messages_ = recordMessages();
}

void TstEditGrid::init() {
    window_ = std::make_unique<QWidget>();
    window_->resize(1000, 400);
    auto* layout = new QVBoxLayout(window_.get());
    atividades_ = new kit::DataSet(db_.get(), window_.get());
    atividades_->setSql(QStringLiteral("SELECT * FROM ATIVIDADE ORDER BY CDATIVIDADE"));
    ds_ = new kit::DataSet(db_.get(), window_.get());
    ds_->setSql(QStringLiteral("SELECT * FROM CHEQUE ORDER BY CD"));
    QVERIFY_DB(atividades_->open());
    QVERIFY_DB(ds_->open());
    grid_ = new kit::EditGrid(
        ds_,
        {
            kit::GridColumn("ACAO", "MARCAR", 3).asCheckBox(),
            kit::GridColumn("NUMNOTA", "Nº NOTA", 8).setReadOnly(),
            kit::GridColumn("VALORBRUTO", "VALOR BRUTO", 12).asMoney(QStringLiteral(",0.00")),
            kit::GridColumn("NUMCHEQUE", "Nº CHQ", 8),
            kit::GridColumn("CDATIVIDADE", "ATIVIDADE", 20)
                .asLookup(atividades_, QStringLiteral("CDATIVIDADE"), QStringLiteral("NOME")),
            kit::GridColumn("DTVENC", "DT VENC", 10),
            kit::GridColumn("IMPRESSO", "IMPRESSO", 3).asCheckBox().setReadOnly(),
            kit::GridColumn("DESCRICAO", "HISTÓRICO", 30),
        },
        window_.get());
    grid_->setCaption(QStringLiteral("CHEQUES"));
    other_ = new QLineEdit(window_.get());
    layout->addWidget(grid_);
    layout->addWidget(other_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    grid_->setFocus();
    QVERIFY(grid_->setCurrentCell(0, cMarcar));
    messages_->clear();
}

void TstEditGrid::cleanup() {
    window_.reset();
}

QWidget* TstEditGrid::openEditor(int row, int column) {
    if (!grid_->setCurrentCell(row, column))
        return nullptr;
    QTest::keyClick(grid_, Qt::Key_F2);
    QWidget* editor = grid_->currentEditor();
    QWidget* focus = QApplication::focusWidget();
    if (!editor || !focus || (focus != editor && !editor->isAncestorOf(focus)))
        return nullptr;
    return focus;
}

void TstEditGrid::enterAndDown_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<int>("toColumn");
    QTest::addColumn<int>("rows");
    const int enter = Qt::Key_Return, down = Qt::Key_Down;
    QTest::newRow("enter: over a read-only column") << enter << 0 << cMarcar << 0 << cBruto << 3;
    QTest::newRow("enter: next column") << enter << 1 << cBruto << 1 << cCheque << 3;
    QTest::newRow("enter: over the read-only check box")
        << enter << 0 << cVenc << 0 << cHistorico << 3;
    QTest::newRow("enter: wraps to the next row") << enter << 0 << cHistorico << 1 << cMarcar << 3;
    QTest::newRow("enter: last row appends") << enter << 2 << cHistorico << 3 << cMarcar << 4;
    QTest::newRow("down: next row") << down << 0 << cCheque << 1 << cCheque << 3;
    QTest::newRow("down: last row appends") << down << 2 << cCheque << 3 << cMarcar << 4;
}

void TstEditGrid::enterAndDown() {
    QFETCH(int, key);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, toRow);
    QFETCH(int, toColumn);
    QFETCH(int, rows);
    QVERIFY(grid_->setCurrentCell(row, column));
    QTest::keyClick(grid_, Qt::Key(key));
    QCOMPARE(grid_->currentIndex().row(), toRow);
    QCOMPARE(grid_->currentIndex().column(), toColumn);
    QCOMPARE(ds_->currentIndex(), toRow);
    QCOMPARE(ds_->recordCount(), rows);
    QCOMPARE(model()->rowCount(), rows);
    QCOMPARE(ds_->state() == kit::DataSet::State::Insert, rows == 4);
    QVERIFY(grid_->hasFocus());
}

void TstEditGrid::appendHooks() {
    int asked = 0;
    bool allow = false;
    grid_->canAppend = [&] {
        ++asked;
        return allow;
    };
    grid_->onAppend = [](kit::DataSet& d) {
        d.setValue(QStringLiteral("ACAO"), QStringLiteral("S"));
        d.setValue(QStringLiteral("NUMCHEQUE"), 1004);
    };
    // Refused: nothing at all happens.
    QVERIFY(grid_->setCurrentCell(2, cHistorico));
    QTest::keyClick(grid_, Qt::Key_Return);
    QTest::keyClick(grid_, Qt::Key_Down);
    QCOMPARE(asked, 2);
    QCOMPARE(ds_->recordCount(), 3);
    QVERIFY(!ds_->isEditing());
    QCOMPARE(grid_->currentIndex().row(), 2);
    QVERIFY(grid_->hasFocus());
    // Allowed: the row with its defaults, on its first editable column.
    allow = true;
    QTest::keyClick(grid_, Qt::Key_Down);
    QCOMPARE(ds_->recordCount(), 4);
    QCOMPARE(ds_->state(), kit::DataSet::State::Insert);
    QCOMPARE(ds_->text(QStringLiteral("ACAO")), QStringLiteral("S"));
    QCOMPARE(grid_->currentIndex(), model()->index(3, cMarcar));
    QCOMPARE(model()->index(3, cCheque).data().toString(), QStringLiteral("1004"));
    // A row nothing was typed into gets no second one.
    QTest::keyClick(grid_, Qt::Key_Down);
    QCOMPARE(ds_->recordCount(), 4);
    // Once typed into, the next Down posts it and appends again.
    QWidget* editor = openEditor(3, cHistorico);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("novo"));
    QTest::keyClick(editor, Qt::Key_Down);
    QCOMPARE(ds_->recordCount(), 5);
    QCOMPARE(ds_->valueAt(3, QStringLiteral("DESCRICAO")).toString(), QStringLiteral("NOVO"));
    QCOMPARE(ds_->pendingCount(), 1);
    QCOMPARE(ds_->currentIndex(), 4);
    QCOMPARE(asked, 4);
}

void TstEditGrid::postOnRowChange_data() {
    QTest::addColumn<QString>("route");
    QTest::addColumn<bool>("refused");
    for (const char* route : {"enter", "down", "click"}) {
        QTest::addRow("%s, accepted", route) << QString::fromLatin1(route) << false;
        QTest::addRow("%s, refused", route) << QString::fromLatin1(route) << true;
    }
}

void TstEditGrid::postOnRowChange() {
    QFETCH(QString, route);
    QFETCH(bool, refused);
    const QString refusal = QStringLiteral("Escolha a atividade!");
    ds_->beforePost = [&](kit::DataSet&) {
        if (refused)
            throw kit::DataSetError(refusal);
    };
    QWidget* editor = openEditor(0, cHistorico);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("pago"));
    if (route == QLatin1String("enter")) {
        QTest::keyClick(editor, Qt::Key_Return);  // the last editable column: the next row
    } else if (route == QLatin1String("down")) {
        QTest::keyClick(editor, Qt::Key_Down);
    } else {
        const QRect cell = grid_->visualRect(model()->index(1, cCheque));
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QVERIFY(!grid_->currentEditor());
    QVERIFY(grid_->hasFocus());
    if (refused) {
        QCOMPARE(messages_->texts(), QStringList{refusal});
        QCOMPARE(ds_->currentIndex(), 0);
        QCOMPARE(grid_->currentIndex().row(), 0);
        QCOMPARE(ds_->state(), kit::DataSet::State::Edit);
        QCOMPARE(ds_->text(QStringLiteral("DESCRICAO")), QStringLiteral("PAGO"));
        QCOMPARE(ds_->pendingCount(), 0);
        QVERIFY(!grid_->selectionModel()->isSelected(model()->index(1, cCheque)));
    } else {
        QVERIFY(messages_->messages.empty());
        QCOMPARE(ds_->currentIndex(), 1);
        QCOMPARE(grid_->currentIndex().row(), 1);
        QVERIFY(!ds_->isEditing());
        QCOMPARE(ds_->valueAt(0, QStringLiteral("DESCRICAO")).toString(), QStringLiteral("PAGO"));
        QCOMPARE(ds_->pendingCount(), 1);
    }
}

void TstEditGrid::postRuleDeletesRow_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("newRowKey");  // starts the empty row
    QTest::addColumn<int>("leaveKey");   // leaves it
    QTest::addColumn<int>("toRow");
    QTest::addColumn<QString>("history");  // of the row reached
    QTest::newRow("appended, left upwards")
        << 2 << int(Qt::Key_Down) << int(Qt::Key_Up) << 2 << "AGUA";
    QTest::newRow("inserted above, left downwards")
        << 0 << int(Qt::Key_Insert) << int(Qt::Key_Down) << 0 << "ALUGUEL";
}

void TstEditGrid::postRuleDeletesRow() {
    QFETCH(int, row);
    QFETCH(int, newRowKey);
    QFETCH(int, leaveKey);
    QFETCH(int, toRow);
    QFETCH(QString, history);
    // A screen's rule: a row posted without a history goes away.
    ds_->afterPost = [](kit::DataSet& d) {
        if (d.isNull(QStringLiteral("DESCRICAO")))
            d.remove();
    };
    QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
    QVERIFY(grid_->setCurrentCell(row, cCheque));
    QTest::keyClick(grid_, Qt::Key(newRowKey));
    QCOMPARE(ds_->recordCount(), 4);
    QTest::keyClick(grid_, Qt::Key(leaveKey));
    QCOMPARE(ds_->recordCount(), 3);
    QCOMPARE(model()->rowCount(), 3);
    QCOMPARE(ds_->currentIndex(), toRow);
    QCOMPARE(grid_->currentIndex().row(), toRow);
    QCOMPARE(ds_->text(QStringLiteral("DESCRICAO")), history);
    QCOMPARE(ds_->pendingCount(), 0);
    QCOMPARE(resets.count(), 0);
    QVERIFY(grid_->hasFocus());
}

void TstEditGrid::checkBox_data() {
    QTest::addColumn<bool>("click");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("after");
    QTest::newRow("space on MARCAR") << false << 0 << cMarcar << "N";
    QTest::newRow("click on MARCAR of another row") << true << 1 << cMarcar << "S";
    QTest::newRow("space on a read-only column") << false << 0 << cImpresso << "N";
    QTest::newRow("click on a read-only column") << true << 2 << cImpresso << "N";
}

void TstEditGrid::checkBox() {
    QFETCH(bool, click);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, after);
    const QString before = ds_->valueAt(row, field(column)).toString();
    if (click) {
        QTest::mouseClick(grid_->viewport(), Qt::LeftButton, {},
                          grid_->visualRect(model()->index(row, column)).center());
    } else {
        QVERIFY(grid_->setCurrentCell(row, column));
        QTest::keyClick(grid_, Qt::Key_Space);
    }
    QCOMPARE(ds_->currentIndex(), row);
    QCOMPARE(ds_->valueAt(row, field(column)).toString(), after);
    QCOMPARE(model()->index(row, column).data(Qt::CheckStateRole).toInt(),
             int(after == QLatin1String("S") ? Qt::Checked : Qt::Unchecked));
    QCOMPARE(ds_->isEditing(), before != after);
    QVERIFY(!grid_->currentEditor());
    QVERIFY(grid_->hasFocus());
}

void TstEditGrid::cellEditing_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("value");  // in the data set afterwards
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");  // a refusal keeps the editor open
    QTest::newRow("money, Brazilian way") << cBruto << "1.234,56"
                                          << "1234.56"
                                          << "1.234,56"
                                          << "";
    QTest::newRow("money, emptied") << cBruto << ""
                                    << ""
                                    << ""
                                    << "";
    QTest::newRow("money, three decimals") << cBruto << "1,234"
                                           << "500.00"
                                           << "500,00"
                                           << "\"1,234\" não é um valor válido!";
    QTest::newRow("date") << cVenc << "25122026"
                          << "2026-12-25"
                          << "25/12/2026"
                          << "";
    QTest::newRow("date, emptied") << cVenc << ""
                                   << ""
                                   << ""
                                   << "";
    QTest::newRow("date, no such day") << cVenc << "31022026"
                                       << "2026-12-01"
                                       << "01/12/2026"
                                       << "A data \"31/02/2026\" não é uma data válida!";
    QTest::newRow("integer") << cCheque << "2050"
                             << "2050"
                             << "2050"
                             << "";
    QTest::newRow("text, upper case") << cHistorico << "pago em dia"
                                      << "PAGO EM DIA"
                                      << "PAGO EM DIA"
                                      << "";
    QTest::newRow("text, cut at the column's length")
        << cHistorico << QString(55, QLatin1Char('x')) << QString(50, QLatin1Char('X'))
        << QString(50, QLatin1Char('X')) << "";
    QTest::newRow("lookup, beginning") << cAtividade << "lu"
                                       << "2"
                                       << "LUZ ELETRICA"
                                       << "";
    QTest::newRow("lookup, exact name before a longer one") << cAtividade << "luz"
                                                            << "3"
                                                            << "LUZ"
                                                            << "";
    QTest::newRow("lookup, no such name") << cAtividade << "xyz"
                                          << ""
                                          << ""
                                          << "";
    QTest::newRow("lookup, emptied") << cAtividade << ""
                                     << ""
                                     << ""
                                     << "";
}

void TstEditGrid::cellEditing() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    QWidget* editor = openEditor(0, column);
    QVERIFY(editor);
    const QString title = model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(grid_->currentEditor()->accessibleName(), title);
    QCOMPARE(editor->accessibleName(), title);
    QCOMPARE(grid_->accessibleName(), QStringLiteral("CHEQUES"));
    auto* line = qobject_cast<QLineEdit*>(editor);
    QVERIFY(line);
    line->selectAll();
    if (typed.isEmpty())
        QTest::keyClick(editor, Qt::Key_Delete);
    else
        QTest::keyClicks(editor, typed);
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(messages_->texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(textOf(ds_->valueAt(0, field(column))), value);
    QCOMPARE(model()->index(0, column).data().toString(), shown);
    if (message.isEmpty()) {
        QVERIFY(!grid_->currentEditor());
        QVERIFY(grid_->hasFocus());
    } else {
        QVERIFY(grid_->currentEditor());
        QVERIFY(editor->hasFocus());
    }
}

void TstEditGrid::lookupFromList() {
    grid_->onLookupEditor = [](kit::LookupCombo& combo, int column) {
        if (column == cAtividade)
            combo.dialogHook = [](kit::LookupDialog& d) {
                return d.locate(QStringLiteral("luz e"));
            };
    };
    int f5 = 0;  // the screen sees each key once, editor open or not
    grid_->onKey = [&](QKeyEvent& key, int, int) {
        f5 += key.key() == Qt::Key_F5;
        return false;
    };
    QWidget* editor = openEditor(2, cAtividade);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_F5);
    QCOMPARE(f5, 1);
    QTest::keyClick(editor, Qt::Key_F2);
    QCOMPARE(qobject_cast<QLineEdit*>(editor)->text(), QStringLiteral("LUZ ELETRICA"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(ds_->valueAt(2, QStringLiteral("CDATIVIDADE")).toInt(), 2);
    QCOMPARE(model()->index(2, cAtividade).data().toString(), QStringLiteral("LUZ ELETRICA"));
}

void TstEditGrid::escape() {
    // Esc in the cell drops its typing; the row was never touched.
    QWidget* editor = openEditor(0, cHistorico);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("x"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(!grid_->currentEditor());
    QVERIFY(grid_->hasFocus());
    QCOMPARE(ds_->text(QStringLiteral("DESCRICAO")), QStringLiteral("ALUGUEL"));
    QVERIFY(!ds_->isEditing());
    // A second Esc drops the row's changes: a new row goes away.
    QVERIFY(grid_->setCurrentCell(2, cCheque));
    QTest::keyClick(grid_, Qt::Key_Down);
    QCOMPARE(ds_->recordCount(), 4);
    editor = openEditor(3, cCheque);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("77"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(grid_, Qt::Key_Escape);
    QCOMPARE(ds_->recordCount(), 3);
    QCOMPARE(model()->rowCount(), 3);
    QVERIFY(!ds_->isEditing());
    QCOMPARE(grid_->currentIndex().row(), 2);
    QVERIFY(grid_->hasFocus());
}

void TstEditGrid::editorSurvivesInsertAndRemove() {
    // A read-only grid on the same rows follows in place too.
    kit::DataGrid list(ds_, {kit::GridColumn("DESCRICAO", "HISTÓRICO", 30)});
    QSignalSpy listResets(list.model(), &QAbstractItemModel::modelReset);
    QSignalSpy resets(model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model(), &QAbstractItemModel::rowsRemoved);
    const QModelIndex cell = model()->index(1, cHistorico);
    grid_->openPersistentEditor(cell);
    const QPointer<QWidget> editor = grid_->indexWidget(cell);
    QVERIFY(editor);
    qobject_cast<QLineEdit*>(editor.data())->setText(QStringLiteral("DIGITANDO"));

    ds_->setCurrentIndex(2);
    ds_->append();
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(list.currentIndex().row(), 3);
    ds_->cancel();
    ds_->setCurrentIndex(0);
    ds_->remove();  // the row above the editor's
    QCOMPARE(removed.count(), 2);
    QCOMPARE(resets.count(), 0);
    QCOMPARE(listResets.count(), 0);
    QVERIFY(editor);
    QCOMPARE(grid_->indexWidget(model()->index(0, cHistorico)), editor.data());
    QCOMPARE(qobject_cast<QLineEdit*>(editor.data())->text(), QStringLiteral("DIGITANDO"));
    QCOMPARE(model()->index(0, cHistorico).data().toString(), QStringLiteral("LUZ"));
    QCOMPARE(list.currentIndex().row(), ds_->currentIndex());
}

void TstEditGrid::contextMenu_data() {
    QTest::addColumn<int>("row");  // -1: below the rows
    QTest::newRow("the current row") << 1;
    QTest::newRow("another row") << 2;
    QTest::newRow("below the rows") << -1;
}

void TstEditGrid::contextMenu() {
    QFETCH(int, row);
    int calledWith = -2, currentThen = -2;
    grid_->onContextMenu = [&](QMenu&, int r) {
        calledWith = r;
        currentThen = ds_->currentIndex();
    };
    QVERIFY(grid_->setCurrentCell(1, cBruto));
    const QPoint at = row >= 0 ? grid_->visualRect(model()->index(row, cBruto)).center()
                               : QPoint(5, grid_->viewport()->height() - 3);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid_->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid_->viewport(), &event);
    QCOMPARE(calledWith, row);
    QCOMPARE(currentThen, row >= 0 ? row : 1);
    QVERIFY(grid_->hasFocus());
}

QTEST_MAIN(TstEditGrid)
#include "tst_editgrid.moc"
