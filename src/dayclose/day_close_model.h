// The day close of this till, without any window: the figures of the day
// since its last close, the cash the cashier types (the opening float and
// the cash counted), and the confirming that stores the close. The window
// shows this model and forwards what the cashier does.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "close_record.h"
#include "storage/date_text.h"

namespace shop::dayclose {

class DayCloseModel {
public:
    DayCloseModel(std::string runDir, std::string cashier);

    // Reads the day of `now`, from the end of its last close on.
    void load(const storage::Moment& now);

    const std::string& day() const { return m_day; }  // "2026年12月10日"
    const std::string& cashier() const { return m_cashier; }
    const DayFigures& figures() const { return m_figures; }
    // Tables that are there but cannot be read: the figures lack them, so
    // no close can be confirmed.
    const std::vector<std::string>& unreadable() const { return m_unreadable; }
    // The closes of the same day already stored, oldest first.
    const std::vector<CloseRecord>& earlierCloses() const { return m_earlier; }
    // The cash the last close (of any day) counted, which stays in the
    // drawer as the next float.
    const std::optional<Fen>& carriedFloat() const { return m_carried; }

    // The typed opening float: a money amount, or empty for none. False (and
    // no close can be confirmed) for anything else.
    bool setOpeningFloat(std::string_view text);
    // The typed cash counted: a money amount, or empty while not yet counted.
    bool setCounted(std::string_view text);
    void setNote(std::string note) { m_note = std::move(note); }

    std::optional<Fen> openingFloat() const { return m_float; }
    // The cash the drawer should hold; nullopt while the float is no amount.
    std::optional<Fen> expectedCash() const;
    std::optional<Fen> counted() const { return m_counted; }
    // Counted minus expected: negative when cash is missing.
    std::optional<Fen> difference() const;

    // Why confirming is not possible now; empty when it is.
    std::string confirmBlocker() const;

    struct Confirmed {
        std::string failure;  // empty when stored
        std::optional<CloseRecord> record;
    };
    // Stores the close made at `at`, then reads on from its end: what the
    // model shows next is what comes after it.
    Confirmed confirm(const storage::Moment& at);

private:
    std::string m_runDir;
    std::string m_cashier;
    std::string m_day;
    DayFigures m_figures;
    std::vector<std::string> m_unreadable;
    std::vector<CloseRecord> m_earlier;
    std::optional<Fen> m_carried;
    std::optional<Fen> m_float = Fen{0};
    std::optional<Fen> m_counted;
    bool m_countedValid = true;
    std::string m_note;
};

}  // namespace shop::dayclose
