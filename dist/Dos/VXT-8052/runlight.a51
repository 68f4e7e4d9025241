; runlight.a51 - a running light on port P1.
;
; Every 8051-family chip has port P1: eight pins that the program drives. One pin at a
; time is low and the low pin moves one place about ten times a second. With LEDs that
; light on a low pin (the usual wiring), one LED runs round; with LEDs that light on a
; high pin, one dark LED runs round.
; Assemble: as31 -Fbin -Orunlight.bin runlight.a51
;
; Only relative jumps are used, so the program runs wherever the board's monitor loads
; it. It never ends: stop it with the board's RESET key.

        .org    0

start:  mov     a, #0FEh        ; 1111 1110: only bit 0 is low
light:  mov     p1, a
        mov     r7, #200        ; wait 200 x about 500 machine cycles:
wait:   mov     r6, #250        ; about 0.11 s with an 11.0592 MHz crystal
inner:  djnz    r6, inner       ; 2 machine cycles each time round
        djnz    r7, wait
        rl      a               ; the low bit moves one place up, bit 7 back to bit 0
        sjmp    light
