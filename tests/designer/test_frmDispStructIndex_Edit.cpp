// Index editor: key columns and directions, unique settings, delete, OK's checks, cancel.
#include "test_frmDispStructIndex_Fixture.h"

TEST_F(IndexEditorTest, CheckingAColumnStartsAscendingEveryTime) {
    index(QStringLiteral("IX_Nome"), QStringLiteral("Nome<@>A<#>"));
    run([](Form* f) {
        check(f, "Id", true);
        EXPECT_EQ(keys(f), "Id:Ascendente Nome:Ascendente");
        EXPECT_TRUE(f->cboOrdem->isEnabled());
        EXPECT_EQ(f->cboOrdem->currentText(), "Ascendente");
        choose(f->cboOrdem, "Descendente");
        EXPECT_EQ(keys(f), "Id:Descendente Nome:Ascendente");
        check(f, "Id", false);
        EXPECT_FALSE(f->cboOrdem->isEnabled());
        EXPECT_EQ(f->cboOrdem->currentText(), "");
        check(f, "Id", true);
        EXPECT_EQ(keys(f), "Id:Ascendente Nome:Ascendente");
        clickRow(f, "Nome");
        EXPECT_EQ(f->cboOrdem->currentText(), "Ascendente");
        choose(f->cboOrdem, "Descendente");
        clickRow(f, "Codigo");
        EXPECT_FALSE(f->cboOrdem->isEnabled());
        clickRow(f, "Nome");
        EXPECT_EQ(f->cboOrdem->currentText(), "Descendente");
        click(f->cmdOk);
    });
    // A column checked since follows the index's own.
    EXPECT_EQ(entry("IX_Nome")->Act_IndexColumns(), "Nome<@>D<#>Id<@>A<#>");
    EXPECT_EQ(entry("IX_Nome")->Old_IndexColumns(), "Nome<@>A<#>");
}

TEST_F(IndexEditorTest, KeyColumnsKeepTheIndexsOrderAndLoseUnknownColumns) {
    // Model order Data Venda, Id; Id comes first in the table. Gone is no column any more.
    // The list shows the table's order; the index keeps its own.
    index(QStringLiteral("IX_Data"), QStringLiteral("Data Venda<@>D<#>Gone<@>A<#>Id<@>A<#>"));
    run([](Form* f) {
        EXPECT_EQ(keys(f), "Id:Ascendente [Data Venda]:Descendente");
        f->chkNoRecompute->setFocus();
        click(f->chkNoRecompute);
        click(f->cmdOk);
    });
    EXPECT_EQ(entry("IX_Data")->Act_IndexColumns(), "Data Venda<@>D<#>Id<@>A<#>");
    EXPECT_TRUE(entry("IX_Data")->Act_NoRecompute());
}

TEST_F(IndexEditorTest, ConstraintKeepsIgnoreDuplicatesThatOnlyAnIndexCanChange) {
    auto e = index(QStringLiteral("IX_Nome"), QStringLiteral("Nome<@>A<#>"), true);
    e->setAct_IgnoreDupKeys(true);
    index(QStringLiteral("IX_Id"), QStringLiteral("Id<@>A<#>"));
    run([](Form* f) {
        EXPECT_TRUE(f->optIndex->isChecked());
        EXPECT_TRUE(f->chkIgnoreDupKeys->isEnabled());
        EXPECT_TRUE(f->chkIgnoreDupKeys->isChecked());
        click(f->optConstraint);
        EXPECT_FALSE(f->chkIgnoreDupKeys->isEnabled());
        EXPECT_FALSE(f->chkIgnoreDupKeys->isChecked()); // a constraint has no such option
        click(f->optIndex);
        EXPECT_TRUE(f->chkIgnoreDupKeys->isEnabled());
        EXPECT_TRUE(f->chkIgnoreDupKeys->isChecked());
        click(f->optConstraint);
        // A plain index shows its own options, not those of the index shown before: made
        // unique, it is a unique index that does not ignore duplicates.
        choose(f->cboIndex, "IX_Id");
        EXPECT_FALSE(f->chkUnique->isChecked());
        EXPECT_FALSE(f->optConstraint->isEnabled());
        EXPECT_TRUE(f->optIndex->isChecked());
        EXPECT_FALSE(f->chkIgnoreDupKeys->isChecked());
        click(f->chkUnique);
        EXPECT_TRUE(f->optConstraint->isEnabled());
        EXPECT_TRUE(f->chkIgnoreDupKeys->isEnabled());
        EXPECT_FALSE(f->chkIgnoreDupKeys->isChecked());
        EXPECT_TRUE(f->mnuNew->isEnabled());
        EXPECT_TRUE(f->mnuDelete->isEnabled());
        click(f->cmdOk);
    });
    EXPECT_TRUE(entry("IX_Nome")->Act_Constraint());
    EXPECT_TRUE(entry("IX_Nome")->Act_IgnoreDupKeys());
    EXPECT_TRUE(entry("IX_Id")->Act_Unique());
    EXPECT_FALSE(entry("IX_Id")->Act_Constraint());
    EXPECT_FALSE(entry("IX_Id")->Act_IgnoreDupKeys());
    EXPECT_FALSE(entry("IX_Id")->Old_Unique());
}

TEST_F(IndexEditorTest, ShowingAnotherIndexAfterNovoTakesNothingFromTheShownOne) {
    index(QStringLiteral("IX_Nome"), QStringLiteral("Nome<@>A<#>"), true, true, true,
          QStringLiteral("Arquivo"), 50);
    run([](Form* f) {
        f->chkClustered->setFocus(); // the focus is away from the index box
        f->mnuNew->trigger();
        EXPECT_FALSE(f->chkClustered->isChecked());
        EXPECT_EQ(f->txtFillFactor->text(), "0");
        check(f, "Id", true);
        choose(f->cboIndex, "IX_Nome");
        EXPECT_EQ(keys(f), "Nome:Ascendente");
        click(f->cmdOk);
    });
    auto nome = entry("IX_Nome");
    EXPECT_TRUE(nome->Act_Clustered());
    EXPECT_EQ(nome->Act_FillFactor(), 50);
    EXPECT_EQ(nome->Act_IndexColumns(), "Nome<@>A<#>");
    auto created = entry("IX_Cliente_3");
    ASSERT_TRUE(created);
    EXPECT_FALSE(created->Act_Clustered());
    EXPECT_FALSE(created->Act_Unique());
    EXPECT_EQ(created->Act_FillFactor(), 0);
    EXPECT_EQ(created->Act_IndexColumns(), "Id<@>A<#>");
}

TEST_F(IndexEditorTest, DeleteSelectsTheFollowingIndexOrThePreviousOne) {
    index(QStringLiteral("IX_A"), QStringLiteral("Id<@>A<#>"));
    index(QStringLiteral("IX_B"), QStringLiteral("Nome<@>A<#>"));
    index(QStringLiteral("IX_C"), QStringLiteral("Codigo<@>A<#>"));
    run([this](Form* f) {
        choose(f->cboIndex, "IX_B");
        choices.choose("Não");
        f->mnuDelete->trigger();
        ASSERT_EQ(choices.count(), 1);
        EXPECT_EQ(choices.last().caption, "Pretende Eliminar?");
        EXPECT_EQ(choices.last().items, QStringList({"Não", "Sim"}));
        f->mnuDelete->trigger(); // the question cancelled
        EXPECT_EQ(listed(f), QStringList({"IX_A", "IX_B", "IX_C"}));
        EXPECT_EQ(f->cboIndex->currentText(), "IX_B");

        choices.choose("Sim");
        f->mnuDelete->trigger();
        EXPECT_EQ(listed(f), QStringList({"IX_A", "IX_C"}));
        EXPECT_EQ(f->cboIndex->currentText(), "IX_C");
        EXPECT_EQ(f->txtIndexName->text(), "IX_C");
        EXPECT_EQ(keys(f), "Codigo:Ascendente");
        choices.choose("Sim");
        f->mnuDelete->trigger();
        EXPECT_EQ(listed(f), QStringList({"IX_A"}));
        EXPECT_EQ(f->cboIndex->currentText(), "IX_A");
        EXPECT_EQ(keys(f), "Id:Ascendente");
        click(f->cmdOk);
    });
    ASSERT_EQ(indexes.Count(), 3);
    EXPECT_FALSE(entry("IX_A")->Deleted());
    EXPECT_TRUE(entry("IX_B")->Deleted());
    EXPECT_TRUE(entry("IX_C")->Deleted());
    EXPECT_FALSE(entry("IX_B")->DeletedAgora());
    EXPECT_EQ(entry("IX_C")->Act_IndexColumns(), "Codigo<@>A<#>");
}

TEST_F(IndexEditorTest, DeletingTheLastIndexEmptiesTheEditingArea) {
    index(QStringLiteral("IX_A"), QStringLiteral("Id<@>A<#>"), true, false, true);
    run([this](Form* f) {
        f->mnuNew->trigger();
        choices.choose("Sim").choose("Sim");
        f->mnuDelete->trigger();
        f->mnuDelete->trigger();
        EXPECT_TRUE(listed(f).isEmpty());
        EXPECT_EQ(f->txtIndexName->text(), "");
        EXPECT_FALSE(f->chkUnique->isChecked());
        EXPECT_FALSE(f->chkClustered->isChecked());
        EXPECT_EQ(keys(f), "");
        EXPECT_FALSE(f->cboIndex->isEnabled());
        EXPECT_FALSE(f->fraList->isEnabled());
        EXPECT_TRUE(f->mnuNew->isEnabled());
        // No index listed: OK checks nothing.
        click(f->cmdOk);
    });
    ASSERT_EQ(indexes.Count(), 2);
    auto a = entry("IX_A");
    EXPECT_TRUE(a->Deleted());
    EXPECT_TRUE(a->Act_Clustered());
    EXPECT_EQ(a->Act_IndexColumns(), "Id<@>A<#>");
    auto created = entry("IX_Cliente_3");
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->Deleted());
    EXPECT_TRUE(created->NewIndex());
    EXPECT_FALSE(created->CreatedAgora());
    EXPECT_FALSE(created->DeletedAgora());
}

TEST_F(IndexEditorTest, OkRefusesASecondClusteredIndexCountingThePrimaryKey) {
    primaryKey(true);
    index(QStringLiteral("IX_A"), QStringLiteral("Nome<@>A<#>"));
    index(QStringLiteral("IX_B"), QStringLiteral("Codigo<@>A<#>"));
    const auto before = snapshot();
    const bool ok = run([this](Form* f) {
        choose(f->cboIndex, "IX_B");
        click(f->chkClustered);
        choose(f->cboIndex, "IX_A");
        click(f->cmdOk);
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.last().text,
                  "Não Pode Introduzir Mais do que Um Índice Agregado na Mesma Tabela!");
        EXPECT_EQ(msgs.last().title, "Atenção:");
        EXPECT_EQ(msgs.last().icon(), vbExclamation);
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(f->cboIndex->currentText(), "IX_B");
        EXPECT_TRUE(f->chkClustered->isChecked());
        click(f->cmdCancelar);
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(IndexEditorTest, OkRefusesAnIndexWithoutColumnsUnlessItIsDeleted) {
    index(QStringLiteral("IX_A"), QStringLiteral("Nome<@>A<#>"));
    index(QStringLiteral("IX_B"), QStringLiteral("Codigo<@>A<#>"));
    auto gone = index(QStringLiteral("IX_Vazio"), QString());
    gone->setDeleted(true);
    const bool ok = run([this](Form* f) {
        choose(f->cboIndex, "IX_B");
        check(f, "Codigo", false);
        choose(f->cboIndex, "IX_A");
        click(f->cmdOk);
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.last().text, "Não Pode Introduzir Índices Sem Colunas Definidas!");
        EXPECT_EQ(msgs.last().title, "Atenção:");
        EXPECT_EQ(f->cboIndex->currentText(), "IX_B");
        EXPECT_EQ(keys(f), "");
        check(f, "Id", true);
        click(f->cmdOk);
        EXPECT_EQ(msgs.count(), 1);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(entry("IX_B")->Act_IndexColumns(), "Id<@>A<#>");
    EXPECT_TRUE(entry("IX_Vazio")->Deleted());
}

TEST_F(IndexEditorTest, CancelOrCloseLeavesTheCollectionAsItWas) {
    primaryKey();
    index(QStringLiteral("IX_A"), QStringLiteral("Nome<@>A<#>"));
    const auto before = snapshot();
    const auto firstObject = indexes.Item(1);
    EXPECT_FALSE(run([this](Form* f) {
        f->mnuNew->trigger();
        check(f, "Id", true);
        choose(f->cboIndex, "IX_A");
        click(f->chkUnique);
        choices.choose("Sim");
        f->mnuDelete->trigger();
        click(f->cmdCancelar);
    }));
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(indexes.Item(1), firstObject);

    // Escape does not close the window; the close box does, as a cancel.
    EXPECT_FALSE(run([](Form* f) {
        click(f->chkClustered);
        QTest::keyClick(f->chkClustered, Qt::Key_Escape);
        EXPECT_TRUE(f->isVisible());
        f->close();
    }));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(IndexEditorTest, OkHandsBackNewEntriesForEveryEntry) {
    primaryKey();
    auto gone = index(QStringLiteral("IX_Velho"), QStringLiteral("Id<@>A<#>"));
    gone->setDeleted(true);
    index(QStringLiteral("IX_A"), QStringLiteral("Nome<@>A<#>"));
    const auto before = snapshot();
    const auto firstObject = indexes.Item(1);
    EXPECT_TRUE(run([](Form* f) { click(f->cmdOk); }));
    EXPECT_EQ(snapshot(), before);
    EXPECT_NE(indexes.Item(1), firstObject);
}
