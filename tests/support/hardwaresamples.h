#pragma once
// Answers of the hardware commands as a Windows machine prints them (CRLF
// line ends, the blank lines PowerShell puts around a listing, wmic's
// "\r\r\n"), shared by the shaping tests and the action tests.

#include <QByteArray>

namespace hardwaresamples {

// Get-WmiObject win32_processor: two line ends before, four after.
inline const QByteArray kProcessor = "\r\n\r\n"
                                     "Caption           : Intel64 Family 6 Model 158 Stepping 10\r\n"
                                     "DeviceID          : CPU0\r\n"
                                     "Manufacturer      : GenuineIntel\r\n"
                                     "MaxClockSpeed     : 3701\r\n"
                                     "Name              : Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz\r\n"
                                     "SocketDesignation : U3E1\r\n"
                                     "\r\n\r\n\r\n";

inline const QByteArray kVideoControllers = "\r\n\r\n"
                                            "Name          : NVIDIA GeForce RTX 3080\r\n"
                                            "DriverVersion : 31.0.15.2225\r\n"
                                            "\r\n\r\n\r\n";

inline const QByteArray kAdapterMemory = "10\r\n";

inline const QByteArray kGpuMemoryUsage = "Total GPU Memory Local Usage : \r\n1523.45\r\n";

inline const QByteArray kGpuEngineUtilization = "12.37\r\n";

inline const QByteArray kVendorTool = "1905 MHz, 30 %, 115.43 W, 52, 7 %\r\n";

inline const QByteArray kPhysicalMemory = "\r\n\r\n"
                                          "TotalMemorySize     : 31.92\r\n"
                                          "AvailableMemorySize : 18.4\r\n"
                                          "\r\n\r\n\r\n";

// wmic pagefile ... /value ends every line in "\r\r\n".
inline const QByteArray kPageFile = "\r\r\n\r\r\n"
                                    "AllocatedBaseSize=4864\r\r\n"
                                    "CurrentUsage=512\r\r\n"
                                    "PeakUsage=1024\r\r\n"
                                    "\r\r\n\r\r\n";

// Get-PhysicalDisk with the padded "{0,-25}" fields.
inline const QByteArray kPhysicalDisks =
    "DeviceId=0                         Mediatype=SSD          TotalSize(GB)=476.94          \r\n"
    "DeviceId=1                         Mediatype=HDD          TotalSize(GB)=1863.02         \r\n";

inline const QByteArray kTdrValues = "2\r\n10\r\n";

} // namespace hardwaresamples
