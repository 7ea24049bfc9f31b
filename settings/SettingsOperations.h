#pragma once

#include "DeviceOperationOwner.h"

// The main window's three settings operations: read a record from the device, show it in its
// dialog, and write the whole record back when the user confirms. Nothing is written after
// Cancel, and nothing is written from an answer too short to hold the record.

// "Konfiguracja QAL": the sensor configuration.
void RunSensorConfig(IDeviceOperationOwner& owner);

// "Konfiguracja czytnika": the data reader settings.
void RunReaderConfig(IDeviceOperationOwner& owner);

// "Ustawianie wyjść": the three threshold outputs.
void RunOutputs(IDeviceOperationOwner& owner);
