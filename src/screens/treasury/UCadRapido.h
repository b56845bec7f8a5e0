#pragma once

// The quick-add dialogs of the treasury entry screen: a new activity, resource or
// supplier without leaving it. Each inserts its row through a list of the screen
// (so that list shows it at once) and applies it on "OK"; closing any other way
// adds nothing.

#include <QDialog>
#include <QHash>

#include "kit/db/dataset.h"

class QLineEdit;

class TFrmCadRapido : public QDialog {
    Q_OBJECT
public:
    struct Field {
        QString label;
        QString column;
        bool integer = false;
        QString group;
    };

    TFrmCadRapido(kit::DataSet& list, const QString& objectName, const QString& caption,
                  const QString& heading, const QString& maxSql, const QString& codeColumn,
                  const QVector<Field>& fields, const QString& secondButton,
                  QWidget* parent = nullptr);
    ~TFrmCadRapido() override;

    QLineEdit* box(const QString& column) const { return boxes_.value(column); }
    // "OK": refuses an empty name, otherwise posts and applies the row and closes.
    void confirma();

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Starts the new row; false (with the message shown) when no code could be read.
    bool iniciaRegistro();

    kit::DataSet& list_;
    QString maxSql_;
    QString codeColumn_;
    QString nameColumn_;
    QVector<Field> fields_;
    QHash<QString, QLineEdit*> boxes_;
    bool started_ = false;
};

class TFrmCadAtiv : public TFrmCadRapido {
    Q_OBJECT
public:
    TFrmCadAtiv(kit::DataSet& activities, QWidget* parent = nullptr);
};

class TFrmCadRec : public TFrmCadRapido {
    Q_OBJECT
public:
    TFrmCadRec(kit::DataSet& resources, QWidget* parent = nullptr);
};

class TFrmCadFornec : public TFrmCadRapido {
    Q_OBJECT
public:
    TFrmCadFornec(kit::DataSet& suppliers, QWidget* parent = nullptr);
};
