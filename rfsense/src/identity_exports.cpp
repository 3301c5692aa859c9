// Identity and stored-data exports: what SensorInit identified and loaded.
#include "models.h"
#include "record.h"

#include "rfsense/rfsense.h"

#include <cstring>
#include <mutex>

namespace {

bool is_connected(const SensorRecord *record) {
    return record != nullptr && record->connected.load() != 0;
}

void clear_text(char *text) {
    if (text != nullptr) text[0] = '\0';
}

void copy_text(char *out, const char *text) {
    if (out != nullptr) std::strcpy(out, text);
}

} // namespace

extern "C" {

int32_t SensorDetails(SensorRecord *record, char *serial, char *model_text) {
    if (!is_connected(record)) {
        clear_text(serial);
        clear_text(model_text);
        return 0;
    }
    const auto &model = rfsense::models::model(record->model_index);
    const bool brand_a = rfsense::models::is_brand_a(record->serial_number);
    copy_text(serial, record->serial_number);
    copy_text(model_text, brand_a ? model.details_a : model.details_b);
    return 1;
}

int32_t SensorFW_Revision(SensorRecord *record, char *text) {
    if (!is_connected(record)) {
        clear_text(text);
        return 0;
    }
    copy_text(text, record->identity);
    return 1;
}

int32_t SensorDLL_Revision(char *text) {
    copy_text(text, "3.1");
    return 4;
}

int32_t SensorDiodeSN_K(SensorRecord *record, int32_t *serial, int32_t *k_factor) {
    if (!is_connected(record)) return 0;
    if (serial != nullptr) *serial = record->diode_serial;
    if (k_factor != nullptr) *k_factor = record->k_factor;
    return 1;
}

int32_t SensorEquationPrams(SensorRecord *record, double *parameters) {
    if (!is_connected(record)) return 0;
    if (parameters != nullptr) {
        std::lock_guard lock(record->conversion);
        std::memcpy(parameters, record->equation.data(), sizeof record->equation);
    }
    return 1;
}

int32_t SensorTempCompGetTable(SensorRecord *record, double *table) {
    if (!is_connected(record)) return 0;
    if (table != nullptr) {
        std::lock_guard lock(record->conversion);
        for (const auto &row : record->temp_comp_table) {
            std::memcpy(table, row.data(), 7 * sizeof(double)); // the first 7 columns
            table += 7;
        }
    }
    return 1;
}

int32_t SensorLinCorGetTable(SensorRecord *record, double *table) {
    if (!is_connected(record)) return 0;
    if (record->linearity_loaded.load() == 0) return SENSOR_NO_LINEARITY_TABLE;
    if (table != nullptr) {
        std::lock_guard lock(record->conversion);
        for (const auto &row : record->linearity_table) {
            std::memcpy(table, row.data(), sizeof row);
            table += row.size();
        }
    }
    return 1;
}

} // extern "C"
