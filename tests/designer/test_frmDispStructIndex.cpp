// Index editor: opening, showing an index, new indexes, renaming, fill factor.
#include "test_frmDispStructIndex_Fixture.h"

#include "core/FormHelpers.h"

TEST_F(IndexEditorTest, NoIndexableColumnNoWindowAndCollectionUntouched) {
    structure.Clear();
    column(QStringLiteral("Notas"), QStringLiteral("text"));
    column(QStringLiteral("Memo"), QStringLiteral("ntext"));
    column(QStringLiteral("Longo"), QStringLiteral("longo (text)"));
    primaryKey();
    index(QStringLiteral("IX_Notas"), QStringLiteral("Notas<@>A<#>"));
    const auto before = snapshot();
    const auto first = indexes.Item(1);
    EXPECT_FALSE(run([](Form*) {}));
    EXPECT_FALSE(shown);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(indexes.Item(1), first);
}

TEST_F(IndexEditorTest, OpensOnTheFirstListedIndexWithItsValues) {
    primaryKey();
    auto gone = index(QStringLiteral("IX_Old"), QStringLiteral("Nome<@>A<#>"));
    gone->setDeleted(true);
    index(QStringLiteral("UQ_Codigo"), QStringLiteral("Codigo<@>D<#>Id<@>A<#>"), true, true, false,
          QStringLiteral("arquivo "), 80)
        ->setAct_NoRecompute(true);
    index(QStringLiteral("IX_Nome"), QStringLiteral("Nome<@>A<#>"));
    run([](Form* f) {
        EXPECT_EQ(f->windowTitle(), "Índices");
        EXPECT_EQ(HelpContextID(f), 10003);
        EXPECT_EQ(HelpContextID(f->txtFillFactor), 10003);
        EXPECT_EQ(listed(f), QStringList({"UQ_Codigo", "IX_Nome"}));
        // Text and ntext columns are not offered; a user type is.
        QStringList names;
        for (int i = 1; i <= f->ColumnList()->Count(); ++i)
            names << f->ColumnList()->GetColumnValue("Name", i).toString();
        EXPECT_EQ(names, QStringList({"Id", "Nome", "[Data Venda]", "Codigo"}));
        EXPECT_EQ(f->lvwColumns->headerItem()->text(0), "Nome");
        EXPECT_EQ(f->lvwColumns->headerItem()->text(1), "Ordem");
        EXPECT_TRUE(f->lvwColumns->isColumnHidden(2));

        EXPECT_EQ(f->cboIndex->currentText(), "UQ_Codigo");
        EXPECT_EQ(f->txtIndexName->text(), "UQ_Codigo");
        EXPECT_EQ(f->cboFileGroup->currentText(), "Arquivo");
        EXPECT_TRUE(f->chkUnique->isChecked());
        EXPECT_TRUE(f->optConstraint->isChecked());
        EXPECT_TRUE(f->optConstraint->isEnabled());
        EXPECT_FALSE(f->chkIgnoreDupKeys->isEnabled());
        EXPECT_EQ(f->txtFillFactor->text(), "80");
        EXPECT_FALSE(f->chkClustered->isChecked());
        EXPECT_TRUE(f->chkNoRecompute->isChecked());
        // Shown in the designer's column order, whatever the key order.
        EXPECT_EQ(keys(f), "Id:Ascendente Codigo:Descendente");
        EXPECT_FALSE(f->chkPadIndex->isEnabled());
        EXPECT_TRUE(f->fraControlos->isEnabled());

        choose(f->cboIndex, "IX_Nome");
        EXPECT_EQ(f->txtIndexName->text(), "IX_Nome");
        EXPECT_EQ(f->cboFileGroup->currentText(), "PRIMARY");
        EXPECT_FALSE(f->chkUnique->isChecked());
        EXPECT_FALSE(f->optConstraint->isEnabled());
        EXPECT_FALSE(f->chkNoRecompute->isChecked());
        EXPECT_EQ(f->txtFillFactor->text(), "0");
        EXPECT_EQ(keys(f), "Nome:Ascendente");
        click(f->cmdCancelar);
    });
    // Showing indexes changed nothing.
    EXPECT_EQ(entry("UQ_Codigo")->Act_IndexColumns(), "Codigo<@>D<#>Id<@>A<#>");
    EXPECT_EQ(entry("UQ_Codigo")->Act_FileGroup(), "arquivo ");
}

TEST_F(IndexEditorTest, OnlyThePrimaryKeyThenNovoMakesTheFirstIndex) {
    primaryKey();
    const bool ok = run([](Form* f) {
        EXPECT_TRUE(listed(f).isEmpty());
        EXPECT_FALSE(f->cboIndex->isEnabled());
        EXPECT_FALSE(f->txtIndexName->isEnabled());
        EXPECT_FALSE(f->fraList->isEnabled());
        EXPECT_TRUE(f->mnuNew->isEnabled());
        EXPECT_TRUE(f->mnuDelete->isEnabled());
        EXPECT_TRUE(f->cmdOk->isEnabled());
        f->mnuNew->trigger();
        EXPECT_EQ(listed(f), QStringList({"IX_Cliente_2"}));
        EXPECT_EQ(f->txtIndexName->text(), "IX_Cliente_2");
        EXPECT_TRUE(f->cboIndex->isEnabled());
        EXPECT_TRUE(f->fraList->isEnabled());
        EXPECT_FALSE(f->chkPadIndex->isEnabled());
        check(f, "[Data Venda]", true);
        click(f->cmdOk);
    });
    EXPECT_TRUE(ok);
    ASSERT_EQ(indexes.Count(), 2);
    auto e = entry("IX_Cliente_2");
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->NewIndex());
    EXPECT_FALSE(e->CreatedAgora());
    EXPECT_EQ(e->Act_FileGroup(), "PRIMARY");
    // Stored without the brackets the designer shows.
    EXPECT_EQ(e->Act_IndexColumns(), "Data Venda<@>A<#>");
    EXPECT_EQ(e->Act_IndexType(), 0);
    EXPECT_FALSE(e->Act_Unique());
}

TEST_F(IndexEditorTest, NewNamesSkipListedNamesAndTakeTheShownFilegroup) {
    index(QStringLiteral("IX_A"), QStringLiteral("Id<@>A<#>"));
    index(QStringLiteral("ix_cliente_4 "), QStringLiteral("Nome<@>A<#>"));
    run([](Form* f) {
        choose(f->cboFileGroup, "Arquivo");
        f->mnuNew->trigger();
        EXPECT_EQ(f->cboIndex->currentText(), "IX_Cliente_4_1");
        EXPECT_EQ(f->cboFileGroup->currentText(), "Arquivo");
        EXPECT_EQ(keys(f), "");
        EXPECT_FALSE(f->chkUnique->isChecked());
        check(f, "Id", true);
        click(f->cmdOk);
    });
    EXPECT_EQ(entry("IX_A")->Act_FileGroup(), "Arquivo");
    ASSERT_TRUE(entry("IX_Cliente_4_1"));
    EXPECT_EQ(entry("IX_Cliente_4_1")->Act_FileGroup(), "Arquivo");
    EXPECT_EQ(entry("IX_Cliente_4_1")->Act_IndexColumns(), "Id<@>A<#>");
}

TEST_F(IndexEditorTest, RenameRefusesAListedNameAndThePrimaryKeysName) {
    primaryKey();
    auto old = index(QStringLiteral("IX_Velho"), QStringLiteral("Id<@>A<#>"));
    old->setDeleted(true);
    index(QStringLiteral("IX_Nome"), QStringLiteral("Nome<@>A<#>"));
    index(QStringLiteral("IX_Id"), QStringLiteral("Id<@>D<#>"));
    run([this](Form* f) {
        type(f->txtIndexName, "  ix_id ");
        leaveTo(f->chkClustered);
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.last().text, "Já Existe um Índice com o Nome Seleccionado!");
        EXPECT_EQ(msgs.last().title, "Os Nomes Têm Que Ser Únicos:");
        EXPECT_EQ(msgs.last().icon(), vbExclamation);
        EXPECT_EQ(f->txtIndexName->text(), "IX_Nome");
        EXPECT_EQ(listed(f), QStringList({"IX_Nome", "IX_Id"}));

        // The primary key's index keeps its name to itself.
        type(f->txtIndexName, "pk_cliente");
        leaveTo(f->chkClustered);
        ASSERT_EQ(msgs.count(), 2);
        EXPECT_EQ(msgs.last().text, "Já Existe um Índice com o Nome Seleccionado!");
        EXPECT_EQ(f->txtIndexName->text(), "IX_Nome");

        // An index needs a name.
        type(f->txtIndexName, "   ");
        leaveTo(f->chkClustered);
        ASSERT_EQ(msgs.count(), 3);
        EXPECT_EQ(msgs.last().text, "Tem que Indicar um Nome para o Índice!");
        EXPECT_EQ(msgs.last().title, "Atenção:");
        EXPECT_EQ(f->txtIndexName->text(), "IX_Nome");

        // Its own name in other capitals, and a deleted index's name, are accepted.
        type(f->txtIndexName, "IX_NOME");
        leaveTo(f->chkClustered);
        EXPECT_EQ(listed(f), QStringList({"IX_NOME", "IX_Id"}));
        choose(f->cboIndex, "IX_Id");
        type(f->txtIndexName, "IX_Velho");
        // Leaving for the index box still renames before the other index is shown.
        choose(f->cboIndex, "IX_NOME");
        EXPECT_EQ(listed(f), QStringList({"IX_NOME", "IX_Velho"}));
        EXPECT_EQ(msgs.count(), 3);
        click(f->cmdOk);
    });
    EXPECT_EQ(entry("IX_NOME")->Old_Name(), "IX_Nome");
    EXPECT_EQ(entry("IX_NOME")->Act_IndexColumns(), "Nome<@>A<#>");
    auto renamed = indexes.FindIDX("IX_Velho");
    ASSERT_TRUE(renamed);
    EXPECT_EQ(renamed->Old_Name(), "IX_Id");
    EXPECT_EQ(renamed->Act_IndexColumns(), "Id<@>D<#>");
    EXPECT_TRUE(entry("PK_Cliente")->IndexIsPK());
}

TEST_F(IndexEditorTest, NameTypedThenNovoKeepsTheRename) {
    index(QStringLiteral("IX_Nome"), QStringLiteral("Nome<@>A<#>"));
    run([](Form* f) {
        type(f->txtIndexName, "IX_Renomeado");
        f->mnuNew->trigger();
        EXPECT_EQ(listed(f), QStringList({"IX_Renomeado", "IX_Cliente_3"}));
        check(f, "Nome", true);
        click(f->cmdOk);
    });
    EXPECT_TRUE(entry("IX_Renomeado"));
    EXPECT_FALSE(entry("IX_Nome"));
}

TEST_F(IndexEditorTest, FillFactorRefusesLettersAndValuesOutOfRange) {
    index(QStringLiteral("IX_Nome"), QStringLiteral("Nome<@>A<#>"), false, false, false,
          QStringLiteral("PRIMARY"), 30);
    run([this](Form* f) {
        type(f->txtFillFactor, "12a");
        leaveTo(f->chkUnique);
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.last().text, "Um ou Mais Caracteres Introduzidos Não São Válidos!");
        EXPECT_EQ(msgs.last().title, "Varnolt");
        EXPECT_EQ(msgs.last().icon(), vbExclamation);
        EXPECT_EQ(f->txtFillFactor->text(), "0");

        type(f->txtFillFactor, "101");
        leaveTo(f->chkUnique);
        ASSERT_EQ(msgs.count(), 2);
        EXPECT_EQ(msgs.last().text,
                  "O Valor Introduzido está Fora dos Limites Aceitáveis (0 a 100)");
        EXPECT_EQ(msgs.last().icon(), vbExclamation);
        EXPECT_EQ(f->txtFillFactor->text(), "0");

        type(f->txtFillFactor, "99999999999999999999");
        leaveTo(f->chkUnique);
        EXPECT_EQ(msgs.count(), 3);
        EXPECT_EQ(f->txtFillFactor->text(), "0");

        type(f->txtFillFactor, "100");
        leaveTo(f->chkUnique);
        EXPECT_EQ(msgs.count(), 3);
        click(f->cmdOk);
    });
    EXPECT_EQ(entry("IX_Nome")->Act_FillFactor(), 100);
    EXPECT_EQ(entry("IX_Nome")->Old_FillFactor(), 30);
}

TEST_F(IndexEditorTest, EmptyFillFactorIsZero) {
    index(QStringLiteral("IX_Nome"), QStringLiteral("Nome<@>A<#>"), false, false, false,
          QStringLiteral("PRIMARY"), 30);
    run([this](Form* f) {
        type(f->txtFillFactor, "");
        click(f->cmdOk);
        EXPECT_EQ(msgs.count(), 0);
    });
    EXPECT_EQ(entry("IX_Nome")->Act_FillFactor(), 0);
}

TEST_F(IndexEditorTest, UnnamedColumnsAreNotOfferedAndNoDatabaseMeansNoFilegroups) {
    column(QString(), QString()); // added in the designer, not yet applied
    index(QStringLiteral("IX_Nome"), QStringLiteral("Nome<@>A<#>"));
    bool offered = true;
    const bool ok = [&] {
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&offered] {
            Form* f = Form::Current();
            ASSERT_NE(f, nullptr);
            offered = f->ColumnList()->Count() != 4;
            EXPECT_EQ(f->cboFileGroup->count(), 0);
            f->mnuNew->trigger();
            check(f, "Id", true);
            click(f->cmdOk);
        });
        timer.start(0);
        return Form::ShowIDX(indexes, structure, nullptr, QStringLiteral("Cliente"));
    }();
    EXPECT_TRUE(ok);
    EXPECT_FALSE(offered);
    ASSERT_TRUE(entry("IX_Cliente_3"));
    EXPECT_EQ(entry("IX_Cliente_3")->Act_FileGroup(), "");
}
