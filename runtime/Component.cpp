#include "runtime/Component.h"
#include "runtime/AsciiCase.h"
#include <algorithm>

namespace qb {

namespace {

void Erase(std::vector<TComponent*>& list, TComponent* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

TComponent::TComponent(TComponent* owner) {
    if (owner)
        owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Tell everyone who asked, forgetting them first so that nobody calls back into us.
    while (!FreeNotifies_.empty()) {
        TComponent* other = FreeNotifies_.back();
        FreeNotifies_.pop_back();
        Erase(other->FreeNotifies_, this);
        other->Notification(this, TOperation::opRemove);
    }
    // Owned components go with us, newest first.
    while (!Components_.empty()) {
        TComponent* child = Components_.back();
        RemoveComponent(child);
        delete child;
    }
    if (Owner_)
        Owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        return nullptr;
    return Components_[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty())
        return nullptr;
    for (TComponent* c : Components_)
        if (SameTextAscii(c->Name_, name))
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component == this || component->Owner_ == this)
        return;
    if (component->Owner_)
        component->Owner_->RemoveComponent(component);
    Components_.push_back(component);
    component->Owner_ = this;
    Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (!component || component->Owner_ != this)
        return;
    Notification(component, TOperation::opRemove);
    Erase(Components_, component);
    component->Owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this)
        return;
    if (std::find(FreeNotifies_.begin(), FreeNotifies_.end(), component) == FreeNotifies_.end())
        FreeNotifies_.push_back(component);
    if (std::find(component->FreeNotifies_.begin(), component->FreeNotifies_.end(), this) ==
        component->FreeNotifies_.end())
        component->FreeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component)
        return;
    Erase(FreeNotifies_, component);
    Erase(component->FreeNotifies_, this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component)
        RemoveFreeNotification(component);
    // Siblings learn about each other through their owner. Indexes are re-checked because a
    // handler may free components while we walk.
    for (size_t i = Components_.size(); i > 0; --i) {
        if (i - 1 >= Components_.size())
            continue;
        TComponent* child = Components_[i - 1];
        if (child != component)
            child->Notification(component, operation);
    }
}

} // namespace qb
