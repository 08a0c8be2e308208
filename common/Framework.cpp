#include "common/Framework.h"

#include <cstdio>

void TPersistent::AssignTo(TPersistent& Dest) const {
    throw EConvertError(std::string("Cannot assign a ") + ClassName() + " to a " + Dest.ClassName());
}

TComponent::~TComponent() { NotifyRemoval(); }

void TComponent::FreeNotification(TObject* Client, std::function<void(TComponent*)> Removed) {
    RemoveFreeNotification(Client);
    removalClients_.emplace_back(Client, std::move(Removed));
}

void TComponent::RemoveFreeNotification(TObject* Client) {
    std::erase_if(removalClients_, [Client](const auto& entry) { return entry.first == Client; });
}

void TComponent::NotifyRemoval() {
    // A client may unregister others while it is told; take them one by one.
    while (!removalClients_.empty()) {
        auto entry = std::move(removalClients_.front());
        removalClients_.erase(removalClients_.begin());
        // Sent from destructors: nothing may be thrown on.
        try {
            if (entry.second) entry.second(this);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "Removal notification of %s: %s\n", Name.c_str(), e.what());
        } catch (...) {
            std::fprintf(stderr, "Removal notification of %s failed\n", Name.c_str());
        }
    }
}
