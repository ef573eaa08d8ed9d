# Discovery and the GATT link, the seam to the radio, and the simulated radio.
target_sources(Corvane PRIVATE
  ble/bledeviceinfo.h ble/bledeviceinfo.cpp
  ble/bledevicestate.h
  ble/blebackend.h ble/blebackend.cpp ble/qtblebackend.cpp
  ble/blescanner.h ble/blescanner.cpp
  ble/bledevice.h ble/bledevice.cpp
  ble/blelinkmodel.h ble/blelinkmodel.cpp
  ble/simulatedperipheral.h ble/simulatedperipheral.cpp
  ble/simulatedblebackend.h ble/simulatedblebackend.cpp ble/simulatedcentral_p.h
)
