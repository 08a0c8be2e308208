// The framework's base classes that the system's components and windows
// derive from: the object root, the Pascal-style set, the conversion error,
// persistent assignment and the component with its removal notifications.
// No Qt: the serial port, the downloader and the environment share them.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
};

// A small set over an enumeration whose values are 0..31 (the Pascal set).
template <class E>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> values) {
        for (E v : values) bits_ |= Bit(v);
    }
    constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
    constexpr void Include(E v) { bits_ |= Bit(v); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr uint32_t ToBits() const { return bits_; }
    constexpr bool operator==(const TEnumSet&) const = default;

private:
    static constexpr uint32_t Bit(E v) { return uint32_t{1} << static_cast<unsigned>(v); }
    uint32_t bits_ = 0;
};

// The framework's conversion error: a text that is no number, or an
// assignment between objects of different classes.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The framework's persistent base: assignment copies Source into this object
// through Source.AssignTo.
class TPersistent : public TObject {
public:
    virtual const char* ClassName() const = 0;
    void Assign(const TPersistent& Source) { Source.AssignTo(*this); }

protected:
    // The default refuses: "Cannot assign a <Source> to a <Dest>".
    virtual void AssignTo(TPersistent& Dest) const;
};

// The framework's component: a name (the ini section), the loading state, and
// the removal notifications other components ask for.
class TComponent : public TPersistent {
public:
    ~TComponent() override;

    std::string Name;

    bool Loading() const { return loading_; }
    // The form reader starts setting stored properties; AfterLoad ends it.
    void BeginLoad() { loading_ = true; }

    // Client is told, once, when this component goes away (the Pascal
    // FreeNotification); a client registers at most one callback.
    void FreeNotification(TObject* Client, std::function<void(TComponent*)> Removed);
    void RemoveFreeNotification(TObject* Client);

protected:
    void EndLoad() { loading_ = false; }
    // Sends the removal notifications; later calls send nothing. A client's
    // error is written to the log (stderr), never thrown on.
    void NotifyRemoval();

private:
    bool loading_ = false;
    std::vector<std::pair<TObject*, std::function<void(TComponent*)>>> removalClients_;
};
