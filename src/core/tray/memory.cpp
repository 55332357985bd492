#include "core/tray/memory.h"

#include "core/text/text.h"

#include <limits>
#include <utility>

namespace pellwick {

std::string KilobyteText(std::uint64_t bytes)
{
    // Whole-number arithmetic instead of a double division: exact for every count.
    return std::to_string(RoundHalfToEven(bytes / 1000, bytes % 1000, 1000)) + "KB";
}

std::uint32_t AvailablePercent(std::uint64_t available, std::uint64_t total)
{
    if (total == 0)
        return 0;
    if (available > total)
        available = total;
    // Keep available * 100 inside 64 bits; only absurd totals lose any precision.
    while (total > std::numeric_limits<std::uint64_t>::max() / 100) {
        total >>= 7;
        available >>= 7;
    }
    const std::uint64_t scaled = available * 100;
    return static_cast<std::uint32_t>(RoundHalfToEven(scaled / total, scaled % total, total));
}

std::string PercentText(std::uint64_t available, std::uint64_t total)
{
    return "%" + std::to_string(AvailablePercent(available, total));
}

Memory::Memory(Reader reader)
    : m_reader(std::move(reader))
{
}

void Memory::ReadMemoryStatus()
{
    m_status = m_reader();
}

std::string Memory::GetTotalPhysKB() const
{
    return KilobyteText(m_status.dwTotalPhys);
}

std::string Memory::GetAvailPhysKB() const
{
    return KilobyteText(m_status.dwAvailPhys);
}

std::string Memory::GetTotalVirtKB() const
{
    return KilobyteText(m_status.dwTotalVirtual);
}

std::string Memory::GetAvailVirtKB() const
{
    return KilobyteText(m_status.dwAvailVirtual);
}

std::string Memory::GetPhysPercent() const
{
    return PercentText(m_status.dwAvailPhys, m_status.dwTotalPhys);
}

std::string Memory::GetVirtPercent() const
{
    return PercentText(m_status.dwAvailVirtual, m_status.dwTotalVirtual);
}

std::string PhysicalMemoryLine(const Memory &memory)
{
    return memory.GetPhysPercent() + " Physical Mem Available. (" + memory.GetAvailPhysKB() + " of "
           + memory.GetTotalPhysKB() + ")";
}

std::string VirtualMemoryLine(const Memory &memory)
{
    return memory.GetVirtPercent() + " Virtual Mem Available. (" + memory.GetAvailVirtKB() + " of "
           + memory.GetTotalVirtKB() + ")";
}

} // namespace pellwick
