#pragma once

namespace tavrel {

// Sets a guard flag for the life of a scope and clears it however the scope is left.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

// Counts one more holder of a guard for the life of a scope.
class HoldScope {
public:
    explicit HoldScope(int& holds) : m_holds(holds) { ++m_holds; }
    ~HoldScope() { --m_holds; }
    HoldScope(const HoldScope&) = delete;
    HoldScope& operator=(const HoldScope&) = delete;

private:
    int& m_holds;
};

} // namespace tavrel
