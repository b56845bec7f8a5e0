// The shared input widgets and the grid.

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QMessageBox>
#include <QSignalSpy>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtTest>

#include "kit/core/messages.h"
#include "kit/ui/dialogmessages.h"
#include "kit/ui/widgets/datagrid.h"
#include "kit/ui/widgets/editors.h"
#include "kit/ui/widgets/lookup.h"
#include "testdb.h"

using kit::Money;

class TstWidgets : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void moneyEdit_data();
    void moneyEdit();
    void moneyEditWidth();
    void moneyEditOneWarning_data();
    void moneyEditOneWarning();
    void dateEdit();
    void gridCheckBoxesAndColours();
    void lookupCombo();
    void textOutsideLatin1_data();
    void textOutsideLatin1();
    void calendarAndDigits();

private:
    std::unique_ptr<TestDatabase> t_;
    std::unique_ptr<kit::Database> db_;
    kit::RecordingMessageService* messages_ = nullptr;
};

void TstWidgets::initTestCase() {
    QVERIFY_DB(t_ = TestDatabase::embedded());
    db_ = t_->database();
    for (const char* sql :
         {"INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME, CPFCNPJ) VALUES (1, 'ALFA LTDA', '1')",
          "INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME, CPFCNPJ) VALUES (2, 'SANTOS E FILHOS', '2')",
          "INSERT INTO FORNECEDOR (CDFORNECEDOR, NOME, CPFCNPJ) VALUES (3, 'SANTA CLARA', '3')"})
        db_->execute(QString::fromLatin1(sql));
    messages_ = recordMessages();
}

void TstWidgets::moneyEdit_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<qint64>("cents");  // 100 with a message: refused, the old value kept
    QTest::addColumn<QString>("shown");
    QTest::newRow("brasileiro") << "1.234,56" << qint64(123456) << "R$ 1.234,56";
    QTest::newRow("simples") << "935" << qint64(93500) << "R$ 935,00";
    QTest::newRow("negativo") << "-50,5" << qint64(-5050) << "-R$ 50,50";
    QTest::newRow("letras") << "12a" << qint64(100) << "R$ 1,00";
    QTest::newRow("grande demais") << "99999999999999" << qint64(100) << "R$ 1,00";
}

void TstWidgets::moneyEdit() {
    QFETCH(QString, typed);
    QFETCH(qint64, cents);
    QFETCH(QString, shown);
    messages_->clear();
    QWidget window;
    auto* edit = new kit::MoneyEdit(&window);
    auto* other = new QLineEdit(&window);
    new QVBoxLayout(&window);
    window.layout()->addWidget(edit);
    window.layout()->addWidget(other);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setValue(Money::fromCents(100));
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    edit->setText(typed);  // the validator lets letters through here; the box reads them on leaving
    other->setFocus();
    QTRY_VERIFY(other->hasFocus());
    QCOMPARE(edit->text(), shown);
    QCOMPARE(edit->value()->cents(), cents);
    QCOMPARE(messages_->messages.size(), size_t(cents == 100 ? 1 : 0));
}

void TstWidgets::moneyEditWidth() {
    // Squeezed into a narrow window, the box still shows the largest amount whole.
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* edit = new kit::MoneyEdit(&window);
    layout->addWidget(edit);
    layout->addWidget(new QLineEdit(&window));
    window.resize(60, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString largest = Money::fromCents(Money::kMaxCents).toCurrency();
    QCOMPARE(largest, QStringLiteral("R$ 9.999.999.999.999,99"));
    for (const QString& text : {largest, kit::MoneyEdit::longestAmount()}) {
        edit->setText(text);
        edit->home(false);
        (void)edit->grab();
        const int start = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        edit->end(false);
        (void)edit->grab();
        const int end = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        QVERIFY2(std::abs(end - start - edit->fontMetrics().horizontalAdvance(text)) <= 2,
                 qPrintable(text));
        QVERIFY(end < edit->width());
    }
}

void TstWidgets::moneyEditOneWarning_data() {
    QTest::addColumn<bool>("byCommit");  // the screen reads the box (F7), or the focus leaves it
    QTest::newRow("F7") << true;
    QTest::newRow("saindo da caixa") << false;
}

void TstWidgets::moneyEditOneWarning() {
    QFETCH(bool, byCommit);
    // Real boxes: showing one takes the focus from the money box.
    auto previous = kit::setMessageService(std::make_unique<kit::DialogMessageService>());
    QStringList shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown << box->text();
            box->buttons().first()->click();
        }
    });
    closer.start(20);
    QWidget window;
    auto* edit = new kit::MoneyEdit(&window);
    auto* other = new QLineEdit(&window);
    new QVBoxLayout(&window);
    window.layout()->addWidget(edit);
    window.layout()->addWidget(other);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    edit->setText(QStringLiteral("99999999999999"));
    if (byCommit)
        QVERIFY(!edit->commit());
    else
        other->setFocus();
    QTest::qWait(200);
    closer.stop();
    kit::setMessageService(std::move(previous));
    QCOMPARE(shown, QStringList{kit::moneyOutOfRangeMessage()});
    QVERIFY(!edit->value());
}

void TstWidgets::dateEdit() {
    kit::DateEdit d;
    QVERIFY(d.isEmpty());
    QVERIFY(d.isAcceptable());
    QVERIFY(!d.date().isValid());
    d.setDate(QDate(2026, 12, 11));
    QCOMPARE(d.text(), QStringLiteral("11/12/2026"));
    d.setText(QStringLiteral("31/02/2026"));
    QVERIFY(!d.isAcceptable());
    d.setDate(QDate());
    QVERIFY(d.isEmpty());
}

void TstWidgets::gridCheckBoxesAndColours() {
    db_->execute(QStringLiteral("INSERT INTO LOCALIDADE (CDLOCAL, DESCRICAO) VALUES (1, 'A')"));
    db_->execute(
        QStringLiteral("INSERT INTO NOTA (CDNOTAS, NUMNOTA, NOTAELETRONICA, VALORBRUTO) VALUES (1, "
                       "'10', 'S', 1234.5)"));
    db_->execute(
        QStringLiteral("INSERT INTO NOTA (CDNOTAS, NUMNOTA, NOTAELETRONICA, VALORBRUTO) VALUES (2, "
                       "'11', 'N', 2)"));
    kit::DataSet ds(db_.get());
    ds.setSql(QStringLiteral("SELECT * FROM NOTA ORDER BY CDNOTAS"));
    ds.open();
    kit::GridColumn check("NOTAELETRONICA", "NT ELET.", 3);
    check.checkBox = true;
    kit::GridColumn valor("VALORBRUTO", "VALOR", 12);
    valor.format = QStringLiteral(",0.00");
    kit::DataGrid grid(&ds, {kit::GridColumn("NUMNOTA", "Nº NOTA", 8), valor, check});
    grid.setCellColours([](const kit::DataSet& d, int row, const QString&) {
        return std::make_pair(
            d.valueAt(row, QStringLiteral("NOTAELETRONICA")).toString() == QLatin1String("S")
                ? QColor(Qt::blue)
                : QColor(),
            QColor());
    });
    auto* m = grid.model();
    QCOMPARE(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("Nº NOTA"));
    QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("1.234,50"));
    QCOMPARE(m->index(0, 2).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(m->index(1, 2).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(m->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));
    QVERIFY(!m->index(1, 0).data(Qt::ForegroundRole).isValid());
    QVERIFY(!(m->flags(m->index(0, 0)) & Qt::ItemIsEditable));
    // Whole-row selection follows the data set, both ways.
    ds.setCurrentIndex(1);
    QCOMPARE(grid.currentIndex().row(), 1);
    QVERIFY(grid.selectionModel()->isRowSelected(1, {}));
    grid.setCurrentIndex(m->index(0, 2));
    QCOMPARE(ds.currentIndex(), 0);
}

void TstWidgets::lookupCombo() {
    kit::DataSet list(db_.get());
    list.setSql(QStringLiteral("SELECT * FROM FORNECEDOR ORDER BY NOME ASC"));
    list.open();
    kit::LookupCombo combo(&list, QStringLiteral("CDFORNECEDOR"), QStringLiteral("NOME"));
    combo.setDialogTitle(QStringLiteral("Escolha o Fornecedor"));
    combo.setDialogColumns(
        {kit::GridColumn("NOME", "FORNECEDOR", 60), kit::GridColumn("CPFCNPJ", "CPF/CNPJ", 18)});
    QSignalSpy changed(&combo, &kit::LookupCombo::valueChanged);
    combo.show();
    // The dialog: its title and columns, a search by typing, OK.
    combo.dialogHook = [](kit::LookupDialog& d) {
        if (d.windowTitle() != QLatin1String("Escolha o Fornecedor"))
            return false;
        if (d.grid()->model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString() !=
            QLatin1String("CPF/CNPJ"))
            return false;
        QTest::keyClicks(d.searchBox(), QStringLiteral("santo"));
        return true;
    };
    QVERIFY(combo.showDialog());
    QCOMPARE(combo.value().toInt(), 2);
    QCOMPARE(combo.text(), QStringLiteral("SANTOS E FILHOS"));
    QCOMPARE(changed.count(), 1);
    // Cancel keeps the choice.
    combo.dialogHook = [](kit::LookupDialog&) { return false; };
    QVERIFY(!combo.showDialog());
    QCOMPARE(combo.value().toInt(), 2);
    // Delete clears only when allowed.
    QTest::keyClick(combo.lineEdit(), Qt::Key_Delete);
    QCOMPARE(combo.value().toInt(), 2);
    combo.setClearable(true);
    QTest::keyClick(combo.lineEdit(), Qt::Key_Delete);
    QVERIFY(combo.value().isNull());
    QCOMPARE(combo.text(), QString());
    // Typing in the box finds the first name that begins so.
    QTest::keyClicks(combo.lineEdit(), QStringLiteral("al"));
    QCOMPARE(combo.value().toInt(), 1);
    combo.setValue(3);
    QCOMPARE(combo.text(), QStringLiteral("SANTA CLARA"));
}

void TstWidgets::textOutsideLatin1_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("told");  // the box says something was left out
    QTest::newRow("euro replaced where it stands")
        << QStringLiteral("a€b") << "AEURB" << 5 << false;
    QTest::newRow("dash and quotes") << QStringLiteral("x—“y”") << "X-\"Y\"" << 5 << false;
    QTest::newRow("emoji left out") << QStringLiteral("a\U0001F600b") << "AB" << 2 << true;
    QTest::newRow("accents kept") << QStringLiteral("ação") << "AÇÃO" << 4 << false;
}

void TstWidgets::textOutsideLatin1() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, caret);
    QFETCH(bool, told);
    kit::TextEdit box(40);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QToolTip::hideText();
    // Typed one character at a time, as the keyboard (or an input method) sends them.
    for (const uint code : typed.toUcs4())
        QTest::sendKeyEvent(QTest::KeyAction::Click, &box, Qt::Key_unknown,
                            QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1),
                            Qt::NoModifier);
    QCOMPARE(box.text(), shown);
    QCOMPARE(box.cursorPosition(), caret);
    QTRY_COMPARE(QToolTip::isVisible(), told);
    if (told)
        QVERIFY(QToolTip::text().contains(QStringLiteral("não aceito")));
}

void TstWidgets::calendarAndDigits() {
    // The date box's calendar: Alt+Down opens it, a chosen day fills the box.
    kit::DateEdit date;
    date.show();
    QVERIFY(QTest::qWaitForWindowExposed(&date));
    date.setFocus();
    QSignalSpy chosen(&date, &kit::DateEdit::dateChosen);
    QTest::keyClick(&date, Qt::Key_Down, Qt::AltModifier);
    auto* calendar = date.findChild<QCalendarWidget*>(QStringLiteral("Calendario_Popup"));
    QVERIFY(calendar && calendar->isVisible());
    QCOMPARE(calendar->selectedDate(), QDate::currentDate());
    emit calendar->activated(QDate(2026, 3, 5));
    QCOMPARE(date.text(), QStringLiteral("05/03/2026"));
    QCOMPARE(chosen.count(), 1);
    QTRY_VERIFY(!date.findChild<QCalendarWidget*>(QStringLiteral("Calendario_Popup")));
    // Letters in a number box are refused, with a word at the box.
    kit::IntegerEdit number(9);
    number.show();
    QVERIFY(QTest::qWaitForWindowExposed(&number));
    QToolTip::hideText();
    QTest::keyClicks(&number, QStringLiteral("12a3"));
    QCOMPARE(number.text(), QStringLiteral("123"));
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Digite apenas números."));
}

QTEST_MAIN(TstWidgets)
#include "tst_widgets.moc"
