#pragma once

// The registry screens: resources, activities, suppliers, invoice localities,
// procurement modalities, departments and employees. The municipality's own record
// is UCadEmpresa.

#include "screens/base/UManutencao.h"

class TFrmCadRecurso : public TFrmManutencao {
    Q_OBJECT
public:
    explicit TFrmCadRecurso(Contexto& contexto, QWidget* parent = nullptr);
};

class TFrmCadAtividade : public TFrmManutencao {
    Q_OBJECT
public:
    explicit TFrmCadAtividade(Contexto& contexto, QWidget* parent = nullptr);
};

class TFrmCadFornecedor : public TFrmManutencao {
    Q_OBJECT
public:
    explicit TFrmCadFornecedor(Contexto& contexto, QWidget* parent = nullptr);
    // Moves to the first supplier whose name begins with the text, ignoring case.
    void localiza(const QString& text);
};

class TFrmCadLocalidade : public TFrmManutencao {
    Q_OBJECT
public:
    explicit TFrmCadLocalidade(Contexto& contexto, QWidget* parent = nullptr);
};

class TFrmCadModalidadeEmp : public TFrmManutencao {
    Q_OBJECT
public:
    explicit TFrmCadModalidadeEmp(Contexto& contexto, QWidget* parent = nullptr);
};

class TFrmCadSecretaria : public TFrmManutencao {
    Q_OBJECT
public:
    explicit TFrmCadSecretaria(Contexto& contexto, QWidget* parent = nullptr);
};

class TFrmCadFuncionario : public TFrmManutencao {
    Q_OBJECT
public:
    explicit TFrmCadFuncionario(Contexto& contexto, QWidget* parent = nullptr);
};
