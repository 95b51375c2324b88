/* ---- The engine: the same for every beacon; the tables above make it this one. ----
 *
 * At reset it puts the DDS in serial mode and powers its output down. Then,
 * each minute, it waits asleep for the minute pulse on ICP1, which Timer1
 * captures, and keys the minute from that count: every frame's 40 bits are
 * shifted in ahead of time and latched by an FQ_UD pulse from the Timer1
 * compare interrupt at the planned count. Each alarm is the previous one
 * plus an exact count, so the minute never drifts from its pulse; waits over
 * 65,535 counts are walked in steps of 32,768. Between the parts of the
 * minute, and after it, the DDS is powered down.
 */
#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/pgmspace.h>
#include <avr/sleep.h>
#include <stdint.h>

#ifndef F_CPU
#define F_CPU JT4DDS_PLAN_F_CPU
#endif
#if F_CPU != JT4DDS_PLAN_F_CPU
#error "F_CPU is not the clock this beacon's counts were planned for (JT4DDS_PLAN_F_CPU): make the file again with jt4dds-cli --mcu-clock"
#endif

/* The DDS's three wires, all on one port (Arduino D2, D3, D4 by default). */
#ifndef DDS_PORT
#define DDS_PORT PORTD
#define DDS_DDR DDRD
#endif
#ifndef DDS_W_CLK
#define DDS_W_CLK PD2
#endif
#ifndef DDS_FQ_UD
#define DDS_FQ_UD PD3
#endif
#ifndef DDS_DATA
#define DDS_DATA PD4
#endif
/* The control byte after each word: 0 for an AD9850; 0x01 for an AD9851
 * whose 6x reference multiplier is on. Bit 2 (W34) powers the output down. */
#ifndef DDS_CONTROL
#define DDS_CONTROL 0x00
#endif
#define DDS_POWER_DOWN 0x04

#if JT4DDS_PLAN_PRESCALE == 64
#define TIMER1_CLOCK (_BV(CS11) | _BV(CS10))
#elif JT4DDS_PLAN_PRESCALE == 256
#define TIMER1_CLOCK _BV(CS12)
#elif JT4DDS_PLAN_PRESCALE == 1024
#define TIMER1_CLOCK (_BV(CS12) | _BV(CS10))
#else
#error "Timer1's prescaler must be 64, 256 or 1024 (JT4DDS_PLAN_PRESCALE)"
#endif

#define POWER_DOWN_TONE 0xFF

static volatile uint8_t woken;       /* the awaited interrupt came */
static volatile uint8_t latch_next;  /* the next compare (or capture) latches the frame */
static volatile uint16_t captured;   /* Timer1 at the minute pulse */
static uint16_t alarm;               /* the last alarm, in Timer1 counts */

static void pulse_fq_ud(void) {
    DDS_PORT |= _BV(DDS_FQ_UD);
    DDS_PORT &= (uint8_t)~_BV(DDS_FQ_UD);
}

ISR(TIMER1_COMPA_vect) {
    if (latch_next) pulse_fq_ud();
    woken = 1;
}

ISR(TIMER1_CAPT_vect) {
    if (latch_next) pulse_fq_ud();
    captured = ICR1;
    woken = 1;
}

/* 40 bits into the DDS, not latched: the word least significant bit first,
 * then the control byte. */
static void shift_frame(uint32_t word, uint8_t control) {
    for (uint8_t i = 0; i < 40; ++i) {
        const uint8_t bit = i < 32 ? (uint8_t)(word & 1u) : (uint8_t)(control & 1u);
        if (bit)
            DDS_PORT |= _BV(DDS_DATA);
        else
            DDS_PORT &= (uint8_t)~_BV(DDS_DATA);
        DDS_PORT |= _BV(DDS_W_CLK);
        DDS_PORT &= (uint8_t)~_BV(DDS_W_CLK);
        if (i < 32)
            word >>= 1;
        else
            control >>= 1;
    }
}

static void preload(uint8_t tone) {
    if (tone == POWER_DOWN_TONE)
        shift_frame(0, DDS_CONTROL | DDS_POWER_DOWN);
    else
        shift_frame(pgm_read_dword(&jt4dds_words[tone]), DDS_CONTROL);
}

/* Sleeps until an interrupt sets `woken`; the SEI before SLEEP lets no
 * interrupt in between, so none is missed. */
static void sleep_until_woken(void) {
    cli();
    while (!woken) {
        sleep_enable();
        sei();
        sleep_cpu();
        sleep_disable();
        cli();
    }
    sei();
}

/* Waits `delta` counts after the last alarm and latches the preloaded frame then. */
static void latch_after(uint32_t delta) {
    while (delta > 0xFFFFUL) {
        alarm += 0x8000u;
        delta -= 0x8000u;
        cli();
        latch_next = 0;
        woken = 0;
        OCR1A = alarm;
        sei();
        sleep_until_woken();
    }
    alarm += (uint16_t)delta;
    cli();
    latch_next = 1;
    woken = 0;
    OCR1A = alarm;
    sei();
    sleep_until_woken();
}

static uint8_t symbol_at(uint16_t k) {
    const uint8_t packed = pgm_read_byte(&jt4dds_symbols_packed[k >> 2]);
    return (uint8_t)((packed >> (6 - 2 * (k & 3u))) & 3u);
}

/* The frames of the minute, one at a time: where each latches, in counts
 * from the pulse, and its tone (POWER_DOWN_TONE for the power-down frame). */
struct walk {
    uint8_t part;
    uint16_t step;   /* symbol or CW run within the part */
    uint32_t at;     /* where the next frame of the part latches */
    uint8_t ending;  /* the part's frames are done; its power-down is next */
};

static uint8_t next_frame(struct walk* w, uint32_t* at, uint8_t* tone) {
    while (w->part < JT4DDS_PART_COUNT) {
        const uint8_t keys = pgm_read_byte(&jt4dds_parts[w->part].keys);
        if (w->step == 0 && !w->ending) w->at = pgm_read_dword(&jt4dds_parts[w->part].start_counts);
        if (!w->ending) {
            if (keys == JT4DDS_KEYS_SYMBOLS && w->step < JT4DDS_SYMBOL_COUNT) {
                *at = w->at;
                *tone = symbol_at(w->step++);
                w->at += JT4DDS_SYMBOL_COUNTS;
                return 1;
            }
            if (keys == JT4DDS_KEYS_CW && w->step < JT4DDS_CW_RUN_COUNT) {
                const int8_t run = (int8_t)pgm_read_byte(&jt4dds_cw[w->step++]);
                *at = w->at;
                *tone = run > 0 ? JT4DDS_KEY_DOWN : JT4DDS_KEY_UP;
                w->at += (uint32_t)(run > 0 ? run : -run) * JT4DDS_CW_DOT_COUNTS;
                return 1;
            }
            if (keys == JT4DDS_KEYS_REFERENCE && w->step == 0) {
                *at = w->at;
                *tone = JT4DDS_REFERENCE;
                w->at = pgm_read_dword(&jt4dds_parts[w->part].end_counts);
                w->step = 1;
                return 1;
            }
            w->ending = 1;
        }
        /* The part is over: power down unless the next part starts right here. */
        const uint8_t next = (uint8_t)(w->part + 1);
        w->part = next;
        w->step = 0;
        w->ending = 0;
        if (next == JT4DDS_PART_COUNT || pgm_read_dword(&jt4dds_parts[next].start_counts) != w->at) {
            *at = w->at;
            *tone = POWER_DOWN_TONE;
            return 1;
        }
    }
    return 0;
}

int main(void) {
    DDS_DDR |= _BV(DDS_W_CLK) | _BV(DDS_FQ_UD) | _BV(DDS_DATA);
    /* Serial mode: a W_CLK pulse, then an FQ_UD pulse (D0, D1 high and D2 low
     * on the board); then the output off until the first minute. */
    DDS_PORT |= _BV(DDS_W_CLK);
    DDS_PORT &= (uint8_t)~_BV(DDS_W_CLK);
    pulse_fq_ud();
    preload(POWER_DOWN_TONE);
    pulse_fq_ud();

    /* Timer1 free-running, capturing the minute pulse's rising edge on ICP1. */
    TCCR1A = 0;
    TCCR1B = _BV(ICES1) | TIMER1_CLOCK;
    set_sleep_mode(SLEEP_MODE_IDLE);
    for (;;) {
        struct walk w = {0, 0, 0, 0};
        uint32_t at = 0;
        uint32_t last = 0;
        uint8_t tone = 0;
        if (!next_frame(&w, &at, &tone)) continue;
        preload(tone);
        /* The minute starts at the pulse; a frame planned at count 0 latches then. */
        cli();
        latch_next = at == 0;
        woken = 0;
        TIFR1 = _BV(ICF1) | _BV(OCF1A);
        TIMSK1 = _BV(ICIE1);
        sei();
        sleep_until_woken();
        /* The compare flag rises one count after its match: alarms run one
         * count early so that each frame latches on its own count. */
        alarm = (uint16_t)(captured - 1u);
        TIMSK1 = _BV(OCIE1A);
        if (at != 0) latch_after(at);
        last = at;
        while (next_frame(&w, &at, &tone)) {
            preload(tone);
            latch_after(at - last);
            last = at;
        }
    }
}
