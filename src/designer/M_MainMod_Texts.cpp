#include "designer/M_MainMod.h"

#include "core/FormHelpers.h"

#include <QWidget>

#include <array>

namespace M_MainMod {

namespace {

// The designer window's help context: only it gets these texts.
constexpr int kDesignerHelpContext = 10000;

const std::array<const char*, 4> kGridErrors{
    "A Sua selecção tem que se encontrar na lista!",
    "Um ou mais caracteres introduzidos não são válidos!",
    "O Valor introduzido está fora dos limites aceitáveis!",
    "A nova coluna não aceita valores nulos e não tem fórmula definida!",
};

const std::array<const char*, 24> kStructCaptions{
    "Estrutura da Tabela",
    "Nome da Coluna",
    "Tipo",
    "Comprimento",
    "Precisão",
    "Escala",
    "Permite Nulos",
    "Nome da Co&luna :",
    "&Tipo :",
    "Co&mprimento :",
    "&Permite Nulos",
    "Descri&ção :",
    "Valor por Def&eito :",
    "Precisã&o",
    "Esc&ala",
    "&Identidade",
    "&Semente",
    "Incrementa&ção",
    "&Fórmula",
    "Pá&g. Código",
    "Gravar",
    "Propriedades",
    "Nova Tabela no Servidor ",
    "Estrutura da Tabela",
};

template <size_t N>
QString designerText(const QWidget* form, const std::array<const char*, N>& table, int index) {
    if (!form || HelpContextID(form) != kDesignerHelpContext)
        return QString();
    if (index < 1 || index > static_cast<int>(N))
        return QString();
    return QString::fromUtf8(table[static_cast<size_t>(index - 1)]);
}

} // namespace

QString GridErrorMessage(const QWidget* Form, int ErrorKind) {
    return designerText(Form, kGridErrors, ErrorKind);
}

QString SetStructCaptions(const QWidget* Form, int CaptionIndex) {
    return designerText(Form, kStructCaptions, CaptionIndex);
}

} // namespace M_MainMod
