; ---- The engine: the same for every beacon; the tables after it make it this one. ----
;
; At reset it turns the comparators off (RA0 to RA3 digital), puts the DDS in
; serial mode and powers its output down. Then, each minute, it waits for
; the minute pulse on RB3/CCP1, which captures Timer1, and keys the minute
; from that count: every frame's 40 bits are shifted in ahead of time and
; latched by an FQ_UD pulse when Timer1 reaches the frame's planned count
; (CCP1 in compare mode). Each alarm is the previous one plus an exact
; count, so the minute never drifts from its pulse; waits over 65,535
; counts are walked in steps of 32,768. Between the parts of the minute,
; and after it, the DDS is powered down. Timer1 counts the instruction
; clock at 1:1; nothing here uses an interrupt.

    if PLAN_PRESCALE != 1
        error "Timer1 runs at 1:1 in this engine: make the file again with jt4dds-cli --timer-prescale 1"
    endif

; The DDS's three wires, all on PORTA (RA0, RA1, RA2 by default); to move
; one, edit its #define here (gpasm's -D would replace the name everywhere).
#ifndef DDS_W_CLK
#define DDS_W_CLK 0
#endif
#ifndef DDS_FQ_UD
#define DDS_FQ_UD 1
#endif
#ifndef DDS_DATA
#define DDS_DATA 2
#endif
; The control byte after each word: 0 for an AD9850; 0x01 for an AD9851
; whose 6x reference multiplier is on. Bit 2 (W34) powers the output down.
#ifndef DDS_CONTROL
#define DDS_CONTROL 0x00
#endif
DDS_POWER_DOWN equ 0x04
POWER_DOWN_TONE equ 0xFF
; Instruction cycles from the compare's match to the FQ_UD edge: the alarm
; is set this much early so that each frame latches on its own count.
LATCH_LEAD equ 3

    cblock 0x20
        alarm_l, alarm_h            ; the last alarm, in Timer1 counts
        delta:4                     ; counts to the next frame
        at:4                        ; where the next frame latches, from the pulse
        last:4                      ; where the previous one latched
        walk_at:4                   ; where the part's next frame latches
        part, step_l, step_h        ; the part, and the symbol or CW run within it
        tone                        ; the next frame's tone, or POWER_DOWN_TONE
        part_keys, part_start:4, part_end:4
        table_l, table_h            ; the table byte to read
        addend:4                    ; a symbol's or a dot's counts
        shifted, bit_count, ee_address, byte_count, run, at_pulse
    endc

; 32-bit helpers on little-endian variables.
move32 macro to, from
    movf from, w
    movwf to
    movf from + 1, w
    movwf to + 1
    movf from + 2, w
    movwf to + 2
    movf from + 3, w
    movwf to + 3
    endm
load32 macro to, k
    movlw (k) & 0xFF
    movwf to
    movlw ((k) >> 8) & 0xFF
    movwf to + 1
    movlw ((k) >> 16) & 0xFF
    movwf to + 2
    movlw ((k) >> 24) & 0xFF
    movwf to + 3
    endm
add32 macro to, from
    movf from, w
    addwf to, f
    movf from + 1, w
    btfsc STATUS, C
    incfsz from + 1, w
    addwf to + 1, f
    movf from + 2, w
    btfsc STATUS, C
    incfsz from + 2, w
    addwf to + 2, f
    movf from + 3, w
    btfsc STATUS, C
    incfsz from + 3, w
    addwf to + 3, f
    endm
; W = byte `step` of `table`; on to part_over once `step` reaches `count`.
read_step macro count, table
    movlw (count) & 0xFF
    subwf step_l, w
    movlw ((count) >> 8) & 0xFF
    btfss STATUS, C
    movlw (((count) >> 8) & 0xFF) + 1
    subwf step_h, w
    btfsc STATUS, C
    goto part_over
    movlw low table
    movwf table_l
    movlw high table
    movwf table_h
    call table_step
    call read_table
    endm
sub32 macro to, from
    movf from, w
    subwf to, f
    movf from + 1, w
    btfss STATUS, C
    incfsz from + 1, w
    subwf to + 1, f
    movf from + 2, w
    btfss STATUS, C
    incfsz from + 2, w
    subwf to + 2, f
    movf from + 3, w
    btfss STATUS, C
    incfsz from + 3, w
    subwf to + 3, f
    endm

    org 0
    goto start

; W = the table byte at table_h:table_l: a jump into the table's retlw,
; which returns to the caller.
read_table
    movf table_h, w
    movwf PCLATH
    movf table_l, w
    movwf PCL

; W = the data EEPROM's byte at W.
read_eeprom
    bsf STATUS, RP0
    movwf EEADR
    bsf EECON1, RD
    movf EEDATA, w
    bcf STATUS, RP0
    return

; The byte in W into the DDS, least significant bit first, not latched.
shift_byte
    movwf shifted
    movlw 8
    movwf bit_count
shift_bit
    bcf PORTA, DDS_DATA
    btfsc shifted, 0
    bsf PORTA, DDS_DATA
    bsf PORTA, DDS_W_CLK
    bcf PORTA, DDS_W_CLK
    rrf shifted, f
    decfsz bit_count, f
    goto shift_bit
    return

; The frame of `tone` into the DDS, not latched: its word from the data
; EEPROM (most significant byte first there, so read backwards), then the
; control byte; or the power-down frame.
preload
    movf tone, w
    xorlw POWER_DOWN_TONE
    btfsc STATUS, Z
    goto preload_power_down
    bcf STATUS, C
    rlf tone, w
    movwf ee_address
    rlf ee_address, f
    movlw FreqData - 0x2100 + 3
    addwf ee_address, f
    movlw 4
    movwf byte_count
preload_byte
    movf ee_address, w
    call read_eeprom
    call shift_byte
    decf ee_address, f
    decfsz byte_count, f
    goto preload_byte
    movlw DDS_CONTROL
    goto shift_byte
preload_power_down
    movlw 4
    movwf byte_count
preload_zero
    movlw 0
    call shift_byte
    decfsz byte_count, f
    goto preload_zero
    movlw DDS_CONTROL | DDS_POWER_DOWN
    goto shift_byte

; The part `part`'s keys, start and end (9 bytes of parts_table) into
; part_keys, part_start and part_end.
read_part
    movf part, w
    movwf table_l
    bcf STATUS, C
    rlf table_l, f
    rlf table_l, f
    rlf table_l, f
    addwf table_l, f                ; part * 9, under 256 for 28 parts
    movlw low parts_table
    addwf table_l, f
    movlw high parts_table
    movwf table_h
    btfsc STATUS, C
    incf table_h, f
    movlw part_keys
    movwf FSR
    movlw 9
    movwf byte_count
read_part_byte
    call read_table
    movwf INDF
    incf FSR, f
    incf table_l, f
    btfsc STATUS, Z
    incf table_h, f
    decfsz byte_count, f
    goto read_part_byte
    return

; table_h:table_l, a table's start, moved on to its byte `step`.
table_step
    movf step_l, w
    addwf table_l, f
    btfsc STATUS, C
    incf table_h, f
    movf step_h, w
    addwf table_h, f
    return

; The next frame of the minute: where it latches (at) and its tone; W = 0
; when the minute has no more.
next_frame
    movlw PART_COUNT
    subwf part, w
    btfsc STATUS, C
    retlw 0
    call read_part
    movf step_l, w
    iorwf step_h, w
    btfss STATUS, Z
    goto next_keys
    move32 walk_at, part_start
next_keys
    movf part_keys, w
    xorlw KEYS_SYMBOLS
    btfsc STATUS, Z
    goto next_symbol
    movf part_keys, w
    xorlw KEYS_CW
    btfsc STATUS, Z
    goto next_cw_run
    ; The carrier: one frame, held to the part's end.
    movf step_l, w
    iorwf step_h, w
    btfss STATUS, Z
    goto part_over
    move32 at, walk_at
    movlw TONE_REFERENCE
    movwf tone
    move32 walk_at, part_end
    movlw 1
    movwf step_l
    retlw 1
next_symbol
    read_step SYMBOL_COUNT, symbols_table
    movwf tone
    move32 at, walk_at
    load32 addend, SYMBOL_COUNTS
    add32 walk_at, addend
    goto next_step
next_cw_run
    read_step CW_RUN_COUNT, cw_table
    movwf run
    move32 at, walk_at
    load32 addend, CW_DOT_COUNTS
    movlw TONE_KEY_DOWN
    movwf tone
    btfss run, 7
    goto cw_dots
    movlw TONE_KEY_UP               ; key up: -n dots
    movwf tone
    comf run, f
    incf run, f
cw_dots
    add32 walk_at, addend
    decfsz run, f
    goto cw_dots
next_step
    incf step_l, f
    btfsc STATUS, Z
    incf step_h, f
    retlw 1
; The part is over: power down unless the next part starts right here.
part_over
    incf part, f
    clrf step_l
    clrf step_h
    move32 at, walk_at
    movlw POWER_DOWN_TONE
    movwf tone
    movlw PART_COUNT
    subwf part, w
    btfsc STATUS, C
    retlw 1
    call read_part
    movf part_start, w
    xorwf walk_at, w
    btfss STATUS, Z
    retlw 1
    movf part_start + 1, w
    xorwf walk_at + 1, w
    btfss STATUS, Z
    retlw 1
    movf part_start + 2, w
    xorwf walk_at + 2, w
    btfss STATUS, Z
    retlw 1
    movf part_start + 3, w
    xorwf walk_at + 3, w
    btfss STATUS, Z
    retlw 1
    goto next_frame

; CCPR1 = the alarm, and its flag cleared.
arm
    movf alarm_l, w
    movwf CCPR1L
    movf alarm_h, w
    movwf CCPR1H
    bcf PIR1, CCP1IF
    return

; Waits `delta` counts after the last alarm and latches the preloaded frame then.
latch_after
    movf delta + 2, w
    iorwf delta + 3, w
    btfsc STATUS, Z
    goto latch_last
    movlw 0x80
    addwf alarm_h, f
    movlw 0x80
    subwf delta + 1, f
    btfsc STATUS, C
    goto latch_step
    movlw 1
    subwf delta + 2, f
    btfss STATUS, C
    decf delta + 3, f
latch_step
    call arm
wait_step
    btfss PIR1, CCP1IF
    goto wait_step
    goto latch_after
latch_last
    movf delta, w
    addwf alarm_l, f
    btfsc STATUS, C
    incf alarm_h, f
    movf delta + 1, w
    addwf alarm_h, f
    call arm
wait_latch
    btfss PIR1, CCP1IF
    goto wait_latch
    bsf PORTA, DDS_FQ_UD
    bcf PORTA, DDS_FQ_UD
    return

start
    movlw 0x07                      ; comparators off: RA0 to RA3 digital
    movwf CMCON
    clrf PORTA
    bsf STATUS, RP0
    bcf TRISA, DDS_W_CLK
    bcf TRISA, DDS_FQ_UD
    bcf TRISA, DDS_DATA
    bsf TRISB, 3                    ; the minute pulse into CCP1
    bcf STATUS, RP0
    ; Serial mode: a W_CLK pulse, then an FQ_UD pulse (D0, D1 high and D2 low
    ; on the board); then the output off until the first minute.
    bsf PORTA, DDS_W_CLK
    bcf PORTA, DDS_W_CLK
    bsf PORTA, DDS_FQ_UD
    bcf PORTA, DDS_FQ_UD
    movlw POWER_DOWN_TONE
    movwf tone
    call preload
    bsf PORTA, DDS_FQ_UD
    bcf PORTA, DDS_FQ_UD
    movlw 0x01                      ; Timer1 on, instruction clock, 1:1
    movwf T1CON

minute
    clrf part
    clrf step_l
    clrf step_h
    call next_frame
    iorlw 0
    btfsc STATUS, Z
    goto minute
    call preload
    ; A frame planned at count 0 latches at the pulse itself.
    clrf at_pulse
    movf at, w
    iorwf at + 1, w
    iorwf at + 2, w
    iorwf at + 3, w
    btfsc STATUS, Z
    bsf at_pulse, 0
    clrf CCP1CON
    movlw 0x05                      ; capture on each rising edge
    movwf CCP1CON
    bcf PIR1, CCP1IF
wait_pulse
    btfss PIR1, CCP1IF
    goto wait_pulse
    btfsc at_pulse, 0
    bsf PORTA, DDS_FQ_UD
    bcf PORTA, DDS_FQ_UD
    movf CCPR1L, w
    movwf alarm_l
    movf CCPR1H, w
    movwf alarm_h
    movlw LATCH_LEAD
    subwf alarm_l, f
    btfss STATUS, C
    decf alarm_h, f
    clrf CCP1CON
    movlw 0x0A                      ; compare: raise the flag on a match, the pin left alone
    movwf CCP1CON
    btfsc at_pulse, 0
    goto each_frame
    move32 delta, at
    call latch_after
each_frame
    move32 last, at
    call next_frame
    iorlw 0
    btfsc STATUS, Z
    goto minute
    call preload
    move32 delta, at
    sub32 delta, last
    call latch_after
    goto each_frame
