// Component ownership and free-notification: an owner frees what it owns, and a component that
// refers to another is told when that other one goes away.
#pragma once
#include "runtime/Types.h"
#include <functional>
#include <string>
#include <vector>

namespace qb {

enum class TOperation : uint8_t { opInsert, opRemove };

class TComponent;

// Events get the sending object first; an unset event does nothing.
using TNotifyEvent = std::function<void(TComponent* Sender)>;

// Components given an owner are created with new: the owner deletes those still alive when it
// is destroyed. A component freed earlier leaves its owner by itself.
class TComponent {
public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return Owner_; }
    const std::string& Name() const { return Name_; }
    void SetName(const std::string& name) { Name_ = name; }

    int ComponentCount() const { return static_cast<int>(Components_.size()); }
    TComponent* Components(int index) const;
    // The owned component of that name (without regard to ASCII case), or nullptr.
    TComponent* FindComponent(const std::string& name) const;

    // Takes ownership of a component (leaving its previous owner) / gives it up without freeing.
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    // Asks to be told (Notification with opRemove) when component is destroyed. Both sides
    // forget each other when either goes, so no pointer dangles.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // True from the start of the destructor on.
    bool IsDestroying() const { return Destroying_; }

    // Windowed controls answer true and give their window handle, creating it if need be.
    virtual bool IsWindowedControl() const { return false; }
    virtual THandle WindowHandle() { return 0; }

    // Called when an owned component is inserted or removed, when a component this one asked
    // about is destroyed, and passed on to the owned components.
    virtual void Notification(TComponent* component, TOperation operation);

protected:
    // Derived destructors call this first so that IsDestroying holds during their teardown.
    void Destroying() { Destroying_ = true; }

private:
    TComponent* Owner_ = nullptr;
    std::string Name_;
    std::vector<TComponent*> Components_;
    std::vector<TComponent*> FreeNotifies_;
    bool Destroying_ = false;
};

} // namespace qb
