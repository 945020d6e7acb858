#pragma once
// The progress sink that every long operation of the engine reports to. The
// operation picks the unit of total and position (sectors, bytes or items)
// and polls IsCancelled in each long loop; that poll is the only way it
// learns of a cancel. A sink is called only on the thread running the
// operation.

#include <cstdint>

class CDvdProgress
{
public:
    virtual ~CDvdProgress() = default;
    virtual void SetText(const char* text) = 0;
    virtual uint64_t GetRange() = 0;
    virtual uint64_t GetPosition() = 0;
    virtual const char* GetText() = 0;
    // Also sets the position to 0.
    virtual void SetRange(uint64_t total) = 0;
    virtual void Advance(uint64_t delta) = 0;
    virtual void SetPosition(uint64_t position) = 0;
    virtual bool IsCancelled() = 0;
};
