; add16.a51 - adds two 16-bit numbers in the internal RAM.
;
; Shows ADD and ADDC: the 8051 adds 8 bits at a time, and ADDC carries the low byte's
; carry into the high byte. Every 8051-family chip has 128 bytes of internal RAM; this
; program uses 30h to 36h. Assemble: as31 -Fbin -Oadd16.bin add16.a51
;
; Internal RAM after the run (numbers low byte first):
;   30h 31h  the first number   1234h  (34h 12h)
;   32h 33h  the second number  0FEDCh (DCh FEh)
;   34h 35h  the sum            1110h  (10h 11h)
;   36h      the carry out      01h    (the true sum is 11110h)
;
; Only relative jumps are used, so the program runs wherever the board's monitor loads
; it. It ends in a loop: stop it with the board's RESET key and look at the internal RAM
; from 30h with the monitor.

        .org    0

start:  mov     30h, #34h       ; first number, 1234h
        mov     31h, #12h
        mov     32h, #0DCh      ; second number, 0FEDCh
        mov     33h, #0FEh

        mov     a, 30h          ; low bytes
        add     a, 32h
        mov     34h, a
        mov     a, 31h          ; high bytes, plus the carry of the low bytes
        addc    a, 33h
        mov     35h, a
        clr     a               ; CLR A leaves the carry alone
        addc    a, #0
        mov     36h, a

stop:   sjmp    stop
