#pragma once
// The base of the port component: a named component with an overridable Open and Close.
#include <string>

class TAfDataDispConnComponent {
public:
    explicit TAfDataDispConnComponent(std::string name) : m_name(std::move(name)) {}
    virtual ~TAfDataDispConnComponent() = default;
    TAfDataDispConnComponent(const TAfDataDispConnComponent&) = delete;
    TAfDataDispConnComponent& operator=(const TAfDataDispConnComponent&) = delete;

    virtual void Close() {}
    virtual void Open() {}

    const std::string& Name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }

private:
    std::string m_name;
};
