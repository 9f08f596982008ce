// Word of a long placement on standard error, for someone at a terminal: the placement says
// nothing while it works, so this stands in for its reference and watches the times it asks for.
// Silent for work done within two seconds, and when standard error is no terminal.
#pragma once

#include <ReferenceMotion.h>

#include <chrono>
#include <string>

class PlacementProgress : public ReferenceMotion {
public:
    // `what` names the work: "design".
    PlacementProgress(const ReferenceMotion& reference, std::string what);
    // Clears the line of progress.
    ~PlacementProgress() override;
    PlacementProgress(const PlacementProgress&) = delete;
    PlacementProgress& operator=(const PlacementProgress&) = delete;

    double Duration() const override { return m_reference.Duration(); }
    double PositionAt(double t) const override {
        Note(t);
        return m_reference.PositionAt(t);
    }
    double VelocityAt(double t) const override {
        Note(t);
        return m_reference.VelocityAt(t);
    }
    double AccelerationAt(double t) const override {
        Note(t);
        return m_reference.AccelerationAt(t);
    }
    std::vector<double> Breaks() const override { return m_reference.Breaks(); }

private:
    void Note(double t) const {
        if (!m_shown || ++m_calls % 4096 != 0) return;
        Show(t);
    }
    void Show(double t) const;

    const ReferenceMotion& m_reference;
    const std::string m_what;
    const bool m_shown;  // standard error is a terminal
    const std::chrono::steady_clock::time_point m_start;
    mutable std::chrono::steady_clock::time_point m_nextShow;
    mutable unsigned long m_calls = 0;
    mutable double m_reached = 0;
    mutable int m_pass = 1;
    mutable bool m_lineShown = false;
};
