#include "explorer/Scopfltr.h"

#include "explorer/ModelImages.h"

#include <QBoxLayout>

namespace kolva {

TScopeFilter::TScopeFilter(QWidget* Parent) : QWidget(Parent) {
    static const char* const Hints[ScopeCount] = {"Show default",   "Show private",
                                                  "Show protected", "Show public",
                                                  "Show published", "Show automated"};
    FLayout = new QBoxLayout(QBoxLayout::LeftToRight, this);
    FLayout->setContentsMargins(0, 0, 0, 0);
    FLayout->setSpacing(0);
    for (int I = 0; I < ScopeCount; ++I) {
        auto* Button = new TFilterButton(this);
        Button->SetGroupIndex(1);
        Button->SetDown(true);
        Button->setToolTip(QString::fromLatin1(Hints[I]));
        Button->OnClick = [this](TFilterButton&) { Changed(); };
        FButtons[I] = Button;
    }
    FShowAll = new QToolButton(this);
    FShowAll->setAutoRaise(true);
    FShowAll->setFocusPolicy(Qt::NoFocus);
    FShowAll->setIcon(ModelIcon(imShowAll));
    FShowAll->setToolTip(QStringLiteral("Show all visibilities"));
    connect(FShowAll, &QToolButton::clicked, this, [this] { ShowAll(); });
    SetImageIndex(imVisDefault);
    Arrange();
}

void TScopeFilter::Arrange() {
    while (FLayout->count())
        delete FLayout->takeAt(0); // the layout's item only: the buttons stay
    for (int I = 0; I < ScopeCount; ++I) {
        TFilterButton* Button = FButtons[FReversed ? ScopeCount - 1 - I : I];
        Button->setFixedSize(FButtonWidth, FButtonHeight);
        FLayout->addWidget(Button);
    }
    FShowAll->setFixedSize(FButtonWidth, FButtonHeight);
    FShowAll->setVisible(FShowAllBtn);
    FLayout->addWidget(FShowAll);
    FLayout->addStretch();
}

TVisibilities TScopeFilter::Scopes() const {
    TVisibilities Result;
    for (int I = 0; I < ScopeCount; ++I)
        if (FButtons[I]->Down()) Result.Include(static_cast<TVisibility>(I));
    return Result;
}

void TScopeFilter::SetScopes(TVisibilities Value) {
    if ((Value.Bits() & 63) == Scopes().Bits()) return;
    ++FUpdating;
    for (int I = 0; I < ScopeCount; ++I)
        FButtons[I]->SetDown(Value.Contains(static_cast<TVisibility>(I)));
    --FUpdating;
    Changed();
}

void TScopeFilter::ShowAll() {
    bool All = Scopes().Bits() == 63;
    SetScopes(All ? TVisibilities() : TVisibilities::FromBits(63));
}

void TScopeFilter::Changed() {
    if (FUpdating == 0 && OnFilterChange) OnFilterChange(*this);
}

void TScopeFilter::SetButtonWidth(int Value) {
    FButtonWidth = std::max(20, Value);
    Arrange();
}

void TScopeFilter::SetButtonHeight(int Value) {
    FButtonHeight = std::max(21, Value);
    Arrange();
}

void TScopeFilter::SetImageIndex(int Value) {
    FImageIndex = Value;
    for (int I = 0; I < ScopeCount; ++I)
        FButtons[I]->SetImageIndex(Value < 0 ? -1 : Value + I);
}

void TScopeFilter::SetHints(const std::array<std::string, ScopeCount>& Hints) {
    for (int I = 0; I < ScopeCount; ++I)
        FButtons[I]->setToolTip(QString::fromStdString(Hints[I]));
}

void TScopeFilter::SetShowAllBtn(bool Value) {
    FShowAllBtn = Value;
    Arrange();
}

void TScopeFilter::SetShowAllHint(const std::string& Hint) {
    FShowAll->setToolTip(QString::fromStdString(Hint));
}

void TScopeFilter::SetFlat(bool Value) {
    for (auto* Button : FButtons)
        Button->SetFlat(Value);
    FShowAll->setAutoRaise(Value);
}

void TScopeFilter::SetReversed(bool Value) {
    FReversed = Value;
    Arrange();
}

void TScopeFilter::SetEnabledVisibilities(TVisibilities Value) {
    for (int I = 0; I < ScopeCount; ++I)
        FButtons[I]->setEnabled(Value.Contains(static_cast<TVisibility>(I)));
}

} // namespace kolva
