/*
 * rfsense: the USB RF power sensor library.
 *
 * Every function takes the session record first (except SensorOpen, SensorClose and
 * SensorDLL_Revision) and reports its outcome as a small integer: 0 means that no sensor is
 * connected (nothing done, outputs untouched), 1 means done, other codes are listed below.
 * Outputs are written through caller-owned pointers and buffers.
 *
 * Text buffers must hold: serial number and identity 20 bytes, model text 28 bytes, power
 * strings 21 bytes, reply lines 72 bytes.
 */
#ifndef RFSENSE_RFSENSE_H
#define RFSENSE_RFSENSE_H

#include <stdint.h>

#if defined(_WIN32)
#define RFSENSE_API __declspec(dllexport)
#else
#define RFSENSE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The opaque per-sensor session record. */
typedef struct SensorRecord SensorRecord;

/* Handle of the sensor's USB bridge, lent to callers that talk to the bridge themselves. */
typedef void *FT_HANDLE;

/* Filled by SensorSettings. */
typedef struct SensorSettingsRecord {
    double frequency;           /* Hz */
    double cal_factor;          /* percent */
    double offset;              /* dB */
    unsigned char offset_on;
    double duty_cycle;          /* percent */
    unsigned char duty_on;
    double relative_dbm;        /* relative reference, dBm */
    double relative_mw;         /* relative reference, mW */
    unsigned char relative_on;
    unsigned char zeroed;
} SensorSettingsRecord;

/* Owned by the caller of SensorZeroTick; zero-fill it before the first call. */
typedef struct ZeroTickState {
    int32_t range;        /* range being zeroed */
    int32_t samples_left;
    double sum;
    int32_t step;         /* 0..7 */
} ZeroTickState;

/* Result codes. */
enum {
    SENSOR_NOT_CONNECTED = 0,
    SENSOR_DONE = 1,
    SENSOR_OVER_RANGE = 2,
    SENSOR_A_OVER_RANGE = 3,
    SENSOR_B_OVER_RANGE = 4,
    SENSOR_EQUATION_DEFAULTS = 5,
    SENSOR_CAL_FACTOR_TABLE_ERROR = 6,
    SENSOR_OFFSET_OUT_OF_RANGE = 8,
    SENSOR_DUTY_CYCLE_OUT_OF_RANGE = 9,
    SENSOR_RELATIVE_OFF = 10,
    SENSOR_FREQUENCY_OUT_OF_RANGE = 11,
    SENSOR_CAL_FACTOR_OUT_OF_RANGE = 12,
    SENSOR_ZERO_TOO_LARGE = 13,
    SENSOR_A_NOT_CONNECTED = 15,
    SENSOR_B_NOT_CONNECTED = 16,
    SENSOR_ZERO_IN_PROGRESS = 17,
    SENSOR_TCD_FILE_MISSING = 18,
    SENSOR_TCD_FILE_NO_SECTION = 19,
    SENSOR_NO_TRIGGERED_SAMPLES = 20, /* SensorTriggerQuery: no triggered result to give */
    SENSOR_RESOLUTION_OUT_OF_RANGE = 22,
    SENSOR_TCD_CHECKSUM = 23,
    SENSOR_LINEARITY_CHECKSUM = 24,
    SENSOR_NO_LINEARITY_TABLE = 25,
    SENSOR_NOT_RESPONDING = 27,
    SENSOR_RANGE_OUT_OF_RANGE = 28, /* also SensorTableUpdate: table index outside 0..45 */
    SENSOR_AVERAGE_OUT_OF_RANGE = 29
};

/* Session and command channel. */
RFSENSE_API SensorRecord *SensorOpen(SensorRecord **record);
RFSENSE_API int32_t SensorPath(SensorRecord *record, const char *folder);
RFSENSE_API int32_t SensorInit(SensorRecord *record);
RFSENSE_API void SensorClose(SensorRecord **record);
RFSENSE_API SensorRecord *SensorForceDisconnect(SensorRecord *record);
RFSENSE_API int32_t SensorUsbHandle(SensorRecord *record, FT_HANDLE *handle);
RFSENSE_API unsigned char SensorConnected(SensorRecord *record, unsigned char *over_range);
RFSENSE_API int32_t SensorComms(SensorRecord *record, unsigned char run);
RFSENSE_API int32_t SensorMessage(SensorRecord *record, const char *bytes, int32_t count);
RFSENSE_API int32_t SensorMessageQuery(SensorRecord *record, char *line);
/* Reads exactly count reply bytes into bytes (which holds count); 0 when the sensor was lost
 * before all of them came. */
RFSENSE_API int32_t SensorMessageDataQuery(SensorRecord *record, char *bytes, int32_t count);

/* Identity and stored data. */
RFSENSE_API int32_t SensorDetails(SensorRecord *record, char *serial, char *model_text);
RFSENSE_API int32_t SensorFW_Revision(SensorRecord *record, char *text);
RFSENSE_API int32_t SensorDLL_Revision(char *text);
RFSENSE_API int32_t SensorDiodeSN_K(SensorRecord *record, int32_t *serial, int32_t *k_factor);
RFSENSE_API int32_t SensorEquationPrams(SensorRecord *record, double *parameters /* [13] */);
RFSENSE_API int32_t SensorFreqCfTableQuery(SensorRecord *record, int32_t *count,
                                           double *frequencies /* [46] */,
                                           double *factors /* [46] */);
RFSENSE_API int32_t SensorTempCompGetTable(SensorRecord *record, double *table /* [46*7] */);
RFSENSE_API int32_t SensorLinCorGetTable(SensorRecord *record, double *table /* [16*10] */);

/* Acquisition. */
RFSENSE_API int32_t SensorZero(SensorRecord *record);
RFSENSE_API int32_t SensorZeroTick(SensorRecord *record, ZeroTickState *state);
RFSENSE_API int32_t SensorZeroRangeValues(SensorRecord *record, double *range2, double *range1,
                                          double *range0);
RFSENSE_API int32_t SensorRangeHold(SensorRecord *record, int32_t range);
RFSENSE_API int32_t SensorRangeAuto(SensorRecord *record);
RFSENSE_API int32_t SensorFilterSize(SensorRecord *record, int32_t range, int32_t length);
RFSENSE_API int32_t SensorFilterSettingsQuery(SensorRecord *record, int32_t *settings /* [9] */);
RFSENSE_API int32_t SensorFilterSettingsUpdate(SensorRecord *record, int32_t index,
                                               int32_t value);
RFSENSE_API int32_t SensorFilterQuery(SensorRecord *record, int32_t *filter_code);
RFSENSE_API int32_t SensorStepDetectState(SensorRecord *record, unsigned char on);
RFSENSE_API int32_t DisplayUpdateRate(SensorRecord *record);
RFSENSE_API int32_t SensorTrigger(SensorRecord *record);
RFSENSE_API int32_t SensorTriggerState(SensorRecord *record, unsigned char on);
RFSENSE_API int32_t SensorTriggerLevel(SensorRecord *record, uint32_t level);
/* SENSOR_NO_TRIGGERED_SAMPLES when the sensor reports no triggered samples (dBm untouched). */
RFSENSE_API int32_t SensorTriggerQuery(SensorRecord *record, double *dbm);
RFSENSE_API int32_t SensorVolts(SensorRecord *record, double *volts);
RFSENSE_API double SensorAdcRawVolts(SensorRecord *record, unsigned char subtract_zero);
RFSENSE_API int32_t SensorPowerImmediate(SensorRecord *record);
RFSENSE_API int32_t SensorTemperature(SensorRecord *record, double *celsius);
RFSENSE_API int32_t SensorTemperatureBoth(SensorRecord *record, double *temperature1,
                                          double *temperature3);
RFSENSE_API int32_t SensorTempCompConfig(SensorRecord *record, int32_t interval_seconds,
                                         unsigned char beep);

/* Power and corrections. */
RFSENSE_API int32_t SensorPowerLog(SensorRecord *record, double *dbm);
RFSENSE_API int32_t SensorPowerLin(SensorRecord *record, double *watts);
RFSENSE_API int32_t SensorPowerLogStr(SensorRecord *record, char *text);
RFSENSE_API int32_t SensorPowerLinStr(SensorRecord *record, char *text);
RFSENSE_API int32_t SensorStrResolution(SensorRecord *record, int32_t decimals);
RFSENSE_API int32_t SensorOffset(SensorRecord *record, double db);
RFSENSE_API int32_t SensorOffsetState(SensorRecord *record, unsigned char on);
RFSENSE_API int32_t SensorDutyCycle(SensorRecord *record, double percent);
RFSENSE_API int32_t SensorDutyCycleState(SensorRecord *record, unsigned char on);
RFSENSE_API int32_t SensorRelativeSet(SensorRecord *record);
RFSENSE_API int32_t SensorRelativeState(SensorRecord *record, unsigned char on);
RFSENSE_API int32_t SensorRelativeLevelQuery(SensorRecord *record, double *dbm, double *mw);
RFSENSE_API int32_t SensorRelativeManualSet(SensorRecord *record, double dbm, double mw);
RFSENSE_API int32_t SensorFrequency(SensorRecord *record, double hz);
RFSENSE_API int32_t SensorCalFactor(SensorRecord *record, double percent);
RFSENSE_API int32_t SensorCfQuery(SensorRecord *record, double *fraction);
/* SENSOR_RANGE_OUT_OF_RANGE for an index outside 0..45 (nothing changes). */
RFSENSE_API int32_t SensorTableUpdate(SensorRecord *record, int32_t index, double factor);
RFSENSE_API int32_t SensorSettings(SensorRecord *record, SensorSettingsRecord *settings);
RFSENSE_API int32_t SensorVoltsToPower(SensorRecord *record, double volts, double *dbm);
RFSENSE_API int32_t SensorTempComp(SensorRecord *record, unsigned char on);
RFSENSE_API int32_t SensorTempCompGetPrams(SensorRecord *record, double *working_set /* [9] */);
RFSENSE_API int32_t SensorLinCor(SensorRecord *record, unsigned char on);
RFSENSE_API int32_t SensorLinCorGetPrams(SensorRecord *record, double *working_set /* [9] */);

/* Two-sensor arithmetic: results 1, 3 (A over range), 4 (B over range), 15, 16. */
RFSENSE_API int32_t SensorPowerLog_AminusB(SensorRecord *a, SensorRecord *b, double *result);
RFSENSE_API int32_t SensorPowerLog_BminusA(SensorRecord *a, SensorRecord *b, double *result);
RFSENSE_API int32_t SensorPowerLog_AoverB(SensorRecord *a, SensorRecord *b, double *result);
RFSENSE_API int32_t SensorPowerLog_BoverA(SensorRecord *a, SensorRecord *b, double *result);
RFSENSE_API int32_t SensorPowerLin_AminusB(SensorRecord *a, SensorRecord *b, double *result);
RFSENSE_API int32_t SensorPowerLin_BminusA(SensorRecord *a, SensorRecord *b, double *result);
RFSENSE_API int32_t SensorPowerLin_AoverB(SensorRecord *a, SensorRecord *b, double *result);
RFSENSE_API int32_t SensorPowerLin_BoverA(SensorRecord *a, SensorRecord *b, double *result);

#ifdef __cplusplus
}
#endif

#endif /* RFSENSE_RFSENSE_H */
