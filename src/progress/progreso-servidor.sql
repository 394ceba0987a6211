-- Prepares a school's PostgreSQL database for Letro's results. Run it once,
-- as the server's superuser, in the database named in /etc/letro/progreso.conf
-- (running it again changes nothing):
--
--   sudo -u postgres createdb letro
--   sudo -u postgres psql -v ON_ERROR_STOP=1 -d letro -f /usr/share/letro/progreso-servidor.sql
--
-- It makes three roles no one logs in as; the administrator then makes each
-- account a member of one of them:
--
--   letro_alumnos      a pupil's login, or a class's shared account:
--                        GRANT letro_alumnos TO ana;
--                      adds results, and reads back only those its own
--                      account wrote (row-level security): never another
--                      pupil's. It changes and removes nothing.
--   letro_profesores   a teacher's login:  GRANT letro_profesores TO marta;
--                      reads and removes every pupil's results, adds its own,
--                      changes none.
--   letro_propietario  owns the tables: the account the administrator trusts
--                      to make them and to upgrade them with a newer Letro:
--                        GRANT letro_propietario TO marta;
--                      The first time a member of it opens Letro or the
--                      editor's class view, the tables are made (and later
--                      upgraded) as this role. Until then a pupil's Letro
--                      says once that the server is not yet prepared, and
--                      the results wait on the pupil's machine.
--
-- Letro connects as the desktop user (peer or Kerberos authentication, or a
-- libpq service and ~/.pgpass of the user's own): no password is written in
-- any file every user can read. Letro's own tables get their grants and
-- policies from Letro itself, when they are made.

DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_roles WHERE rolname = 'letro_alumnos') THEN
        CREATE ROLE letro_alumnos NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_roles WHERE rolname = 'letro_profesores') THEN
        CREATE ROLE letro_profesores NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_roles WHERE rolname = 'letro_propietario') THEN
        CREATE ROLE letro_propietario NOLOGIN;
    END IF;
    -- Only Letro's accounts connect to this database.
    EXECUTE format('REVOKE ALL ON DATABASE %I FROM PUBLIC', current_database());
    EXECUTE format('GRANT CONNECT ON DATABASE %I TO letro_alumnos, letro_profesores, '
                   'letro_propietario', current_database());
END
$$;

-- Only the owner's role makes tables here; the others only use them.
REVOKE CREATE ON SCHEMA public FROM PUBLIC;
GRANT USAGE, CREATE ON SCHEMA public TO letro_propietario;
GRANT USAGE ON SCHEMA public TO letro_alumnos, letro_profesores;
